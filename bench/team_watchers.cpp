// A team of BARS bars on one web server and one folder: as many team library watches (the bar's
// own TeamSourceWatch, with its regular check of 60 s) on an address and as many on the same
// file as a path, all in this process. Measures the server's requests per second at rest, then
// publishes a new version of about 2 MB and measures what it costs and how long until every bar
// has it. The server (team_server_counting.py) logs each answer; team_watchers.sh starts it.
//   team_watchers ADDRESS FOLDER REQUEST_LOG BARS REST_SECONDS
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/codec.h"
#include "team/team_source_win32.h"

using namespace replybar;
using namespace replybar::team;

namespace {

constexpr int kNewReplies = 2000;

std::int64_t unixMs() {
    FILETIME t;
    ::GetSystemTimeAsFileTime(&t);
    const std::uint64_t ticks = (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime;
    return static_cast<std::int64_t>(ticks / 10000 - 11644473600000ULL);
}

// A file as Excel's "CSV UTF-8" saves it: `replies` replies of some 990 bytes each.
std::string libraryOf(int replies) {
    std::wstring text = L"分组,回复,图标\r\n";
    for (int i = 1; i <= replies; ++i) {
        text += L"售后,第" + std::to_wstring(i) + L"条 ";
        for (int k = 0; k < 27; ++k) text += L"您好，感谢您的耐心等待。";
        text += L"," + std::to_wstring(i % 10) + L"\r\n";
    }
    return "\xEF\xBB\xBF" + codec::toUtf8(text);
}

// Saved as editors save: a new file renamed over the old.
bool publish(const std::wstring& path, const std::string& bytes) {
    const std::wstring temp = path + L".tmp";
    const HANDLE file = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD wrote = 0;
    const bool ok = ::WriteFile(file, bytes.data(), DWORD(bytes.size()), &wrote, nullptr);
    ::CloseHandle(file);
    return ok && ::MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// What one bar saw of the new version.
struct Bar {
    std::atomic<std::int64_t> hadItAt{0};  // unix ms, 0 before
    std::atomic<int> newReads{0};
    std::atomic<bool> hadFirst{false};
};

void watched(Bar& bar, const FetchOutcome& outcome) {
    const auto* fetched = std::get_if<Fetched>(&outcome);
    const auto* library = fetched ? std::get_if<TeamLibrary>(&fetched->parsed) : nullptr;
    if (!library) return;
    if (library->replyCount() != kNewReplies) {
        bar.hadFirst = true;
        return;
    }
    ++bar.newReads;
    std::int64_t none = 0;
    bar.hadItAt.compare_exchange_strong(none, unixMs());
}

bool all(const std::vector<std::unique_ptr<Bar>>& bars, bool (*has)(const Bar&)) {
    return std::all_of(bars.begin(), bars.end(), [has](const auto& b) { return has(*b); });
}

// The most timestamps within any one second.
int peakPerSecond(std::vector<std::int64_t> times) {
    std::sort(times.begin(), times.end());
    int peak = 0;
    for (std::size_t i = 0, j = 0; j < times.size(); ++j) {
        while (times[j] - times[i] >= 1000) ++i;
        peak = std::max(peak, int(j - i + 1));
    }
    return peak;
}

struct Answer {
    std::int64_t at;
    int status;
    long long bytes;
};

std::vector<Answer> answersLogged(const std::wstring& log) {
    std::vector<Answer> answers;
    if (FILE* f = ::_wfopen(log.c_str(), L"rb")) {
        Answer a{};
        while (std::fscanf(f, "%lld %d %lld", &a.at, &a.status, &a.bytes) == 3)
            answers.push_back(a);
        std::fclose(f);
    }
    return answers;
}

const char* verdict(bool met) { return met ? "met" : "MISSED"; }

bool reportRest(const std::vector<Answer>& answers, std::int64_t from, std::int64_t to, int n) {
    int requests = 0, notModified = 0;
    for (const Answer& a : answers)
        if (a.at >= from && a.at < to) ++requests, notModified += a.status == 304;
    const double perSecond = requests * 1000.0 / double(to - from);
    std::printf(
        "team of %d: at rest %.2f requests/s (%d of %d answered 304, over %lld s); "
        "goal <= 4 requests/s: %s\n",
        n, perSecond, notModified, requests, (to - from) / 1000, verdict(perSecond <= 4));
    return perSecond <= 4;
}

// Returns whether every goal was met.
bool reportNew(const char* what, const std::vector<std::unique_ptr<Bar>>& bars,
               std::int64_t published, const std::vector<Answer>* answers) {
    std::vector<std::int64_t> times;
    long long reads = 0, bytes = 0, last = 0;
    for (const auto& bar : bars) {
        reads += bar->newReads;
        if (bar->hadItAt)
            last = std::max<long long>(last, bar->hadItAt - published);
        else
            last = -1;
    }
    if (answers) {
        reads = 0;
        for (const Answer& a : *answers)
            if (a.at >= published && a.status == 200)
                ++reads, bytes += a.bytes, times.push_back(a.at);
    } else {
        for (const auto& bar : bars) times.push_back(bar->hadItAt);
    }
    const int n = int(bars.size()), peak = peakPerSecond(times);
    const bool once = reads == n, inTime = last >= 0 && last <= 90000, calm = peak <= 20;
    // The peak's goal is the web server's; a share's reads follow the change notice's spread.
    const std::string peakGoal = answers ? std::string(" (goal <= 20: ") + verdict(calm) + ")" : "";
    const std::string bytesRead = answers ? ", " + std::to_string(bytes) + " bytes" : "";
    std::printf(
        "team of %d, %s: new version: %lld full reads%s (%.2f per bar; goal 1: %s); "
        "every bar had it after %.1f s (goal <= 90 s: %s); peak %d full reads in one "
        "second%s\n",
        n, what, reads, bytesRead.c_str(), double(reads) / n, verdict(once), last / 1000.0,
        verdict(inTime), peak, peakGoal.c_str());
    return once && inTime && (calm || !answers);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 6) return 2;
    const std::wstring address = argv[1], file = std::wstring(argv[2]) + L"\\团队回复.csv";
    const int n = ::_wtoi(argv[4]), restS = std::max(::_wtoi(argv[5]), 15);
    if (!publish(file, libraryOf(3))) return 3;
    std::vector<std::unique_ptr<Bar>> web, share;
    std::vector<std::unique_ptr<TeamSourceWatch>> watches;
    for (int i = 0; i < n; ++i) {
        Bar& w = *web.emplace_back(std::make_unique<Bar>());
        Bar& s = *share.emplace_back(std::make_unique<Bar>());
        watches.push_back(std::make_unique<TeamSourceWatch>(
            TeamSourceWatch::Options{address}, [&w](FetchOutcome o) { watched(w, o); }));
        watches.push_back(std::make_unique<TeamSourceWatch>(
            TeamSourceWatch::Options{file}, [&s](FetchOutcome o) { watched(s, o); }));
    }
    ::Sleep(5000);  // past the first checks, which every bar makes as it starts
    const std::int64_t restFrom = unixMs();
    ::Sleep(DWORD(restS) * 1000);
    const std::int64_t restTo = unixMs();
    const auto hasFirst = [](const Bar& b) -> bool { return b.hadFirst; };
    for (int i = 0; i < 300 && !(all(web, hasFirst) && all(share, hasFirst)); ++i) ::Sleep(100);

    const std::int64_t published = unixMs();
    if (!publish(file, libraryOf(kNewReplies))) return 3;
    const auto hasNew = [](const Bar& b) -> bool { return b.hadItAt != 0; };
    for (int i = 0; i < 1500 && !(all(web, hasNew) && all(share, hasNew)); ++i) ::Sleep(100);
    ::Sleep(2000);  // a second read of the same version, were there one, would show now
    watches.clear();

    const std::vector<Answer> answers = answersLogged(argv[3]);
    const bool restMet = reportRest(answers, restFrom, restTo, n);
    const bool webMet = reportNew("web server", web, published, &answers);
    const bool shareMet = reportNew("folder", share, published, nullptr);
    std::fflush(stdout);
    ::ExitProcess(restMet && webMet && shareMet ? 0 : 1);
}
