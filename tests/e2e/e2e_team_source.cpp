// Watches a team library's source for RUN_MS, or until a file OUT.txt.stop appears, and writes
// each outcome as a UTF-8 line "<ms> fetched <replies>", "<ms> faulty <line> <reason>",
// "<ms> unchanged" or "<ms> unreachable <reason>", then "<ms> destroyed <ms the destructor took>".
// A path is read once it has been still for SETTLE_MS (the bar's own time when not given), an
// address's read ends after TOTAL_MS in all or STALL_MS without a byte (the bar's own limits).
//   e2e_team_source LOCATION OUT.txt CHECK_SECONDS READ_LIMIT_MS RUN_MS [SETTLE_MS [STALL_MS TOTAL_MS]]
#include <windows.h>

#include <cstdio>
#include <mutex>
#include <optional>
#include <string>

#include "team/team_source_win32.h"

using namespace replybar::team;

namespace {

std::mutex outMutex;
FILE* out = nullptr;
const DWORD started = ::GetTickCount();

void line(const std::wstring& text) {
    const std::wstring whole = std::to_wstring(::GetTickCount() - started) + L" " + text + L"\n";
    std::string bytes(whole.size() * 3, '\0');
    bytes.resize(::WideCharToMultiByte(CP_UTF8, 0, whole.data(), int(whole.size()), bytes.data(),
                                       int(bytes.size()), nullptr, nullptr));
    const std::lock_guard<std::mutex> lock(outMutex);
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fflush(out);
}

void tell(const FetchOutcome& outcome) {
    if (const auto* fetched = std::get_if<Fetched>(&outcome)) {
        const auto* library = std::get_if<TeamLibrary>(&fetched->parsed);
        const auto* error = std::get_if<CsvError>(&fetched->parsed);
        line(library ? L"fetched " + std::to_wstring(library->replyCount())
                     : L"faulty " + std::to_wstring(error->line) + L" " + error->reason);
    } else if (const auto* unreachable = std::get_if<Unreachable>(&outcome)) {
        line(L"unreachable " + unreachable->reason);
    } else {
        line(L"unchanged");
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 6 || !(out = ::_wfopen(argv[2], L"wb"))) return 2;
    TeamSourceWatch::Options options{argv[1], ::_wtoi(argv[3]), ::_wtoi(argv[4])};
    if (argc > 6) options.settleMs = ::_wtoi(argv[6]);
    if (argc > 8) options.webLimits = {::_wtoi(argv[8]), ::_wtoi(argv[7])};
    const std::wstring stop = std::wstring(argv[2]) + L".stop";
    std::optional<TeamSourceWatch> watch;
    watch.emplace(options, tell);
    for (const DWORD run = ::_wtoi(argv[5]);
         ::GetTickCount() - started < run &&
         ::GetFileAttributesW(stop.c_str()) == INVALID_FILE_ATTRIBUTES;)
        ::Sleep(50);
    const DWORD before = ::GetTickCount();
    watch.reset();
    line(L"destroyed " + std::to_wstring(::GetTickCount() - before));
    ::Sleep(1500);  // anything told after this point would follow the line above
    std::fclose(out);
    ::ExitProcess(0);  // a read that still hangs ends with the process
}
