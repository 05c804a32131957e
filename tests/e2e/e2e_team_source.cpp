// Watches a team library's source for a while and writes each outcome, then how long the watch
// took to go away, as UTF-8 lines:
//   <ms> fetched <replies> | <ms> faulty <line> | <ms> unchanged | <ms> unreachable <reason>
//   <ms> constructed, <ms> destroyed <ms the destructor took>
//   e2e_team_source LOCATION OUT.txt CHECK_SECONDS READ_LIMIT_MS RUN_MS
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>

#include "reply/team_source_win32.h"

using namespace replybar::team;

namespace {

std::mutex outMutex;
FILE* out = nullptr;
const auto started = std::chrono::steady_clock::now();

long long elapsedMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 started)
        .count();
}

void line(const std::wstring& text) {
    const std::wstring whole = std::to_wstring(elapsedMs()) + L" " + text + L"\n";
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, whole.data(), int(whole.size()), nullptr, 0,
                                        nullptr, nullptr);
    std::string bytes(n, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, whole.data(), int(whole.size()), bytes.data(), n, nullptr,
                          nullptr);
    const std::lock_guard<std::mutex> lock(outMutex);
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fflush(out);
}

void tell(const FetchOutcome& outcome) {
    if (const auto* fetched = std::get_if<Fetched>(&outcome)) {
        if (const auto* library = std::get_if<TeamLibrary>(&fetched->parsed))
            line(L"fetched " + std::to_wstring(library->replyCount()));
        else
            line(L"faulty " + std::to_wstring(std::get<CsvError>(fetched->parsed).line));
    } else if (std::holds_alternative<Unchanged>(outcome)) {
        line(L"unchanged");
    } else {
        line(L"unreachable " + std::get<Unreachable>(outcome).reason);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 6) return 2;
    out = ::_wfopen(argv[2], L"wb");
    if (!out) return 2;
    std::optional<TeamSourceWatch> watch;
    watch.emplace(TeamSourceWatch::Options{argv[1], ::_wtoi(argv[3]), ::_wtoi(argv[4])}, tell);
    line(L"constructed");
    ::Sleep(::_wtoi(argv[5]));
    const long long before = elapsedMs();
    watch.reset();
    line(L"destroyed " + std::to_wstring(elapsedMs() - before));
    std::fclose(out);
    // A read that still hangs ends with the process.
    ::ExitProcess(0);
}
