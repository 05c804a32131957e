// Watches a team library's source for RUN_MS and writes each outcome as a UTF-8 line
// "<ms> fetched <replies>", "<ms> faulty <line>", "<ms> unchanged" or "<ms> unreachable <reason>",
// then "<ms> destroyed <ms the destructor took>".
//   e2e_team_source LOCATION OUT.txt CHECK_SECONDS READ_LIMIT_MS RUN_MS
#include <windows.h>

#include <cstdio>
#include <mutex>
#include <optional>
#include <string>

#include "reply/team_source_win32.h"

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
        line(library ? L"fetched " + std::to_wstring(library->replyCount())
                     : L"faulty " + std::to_wstring(std::get<CsvError>(fetched->parsed).line));
    } else if (const auto* unreachable = std::get_if<Unreachable>(&outcome)) {
        line(L"unreachable " + unreachable->reason);
    } else {
        line(L"unchanged");
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 6 || !(out = ::_wfopen(argv[2], L"wb"))) return 2;
    std::optional<TeamSourceWatch> watch;
    watch.emplace(TeamSourceWatch::Options{argv[1], ::_wtoi(argv[3]), ::_wtoi(argv[4])}, tell);
    ::Sleep(::_wtoi(argv[5]));
    const DWORD before = ::GetTickCount();
    watch.reset();
    line(L"destroyed " + std::to_wstring(::GetTickCount() - before));
    ::Sleep(1500);  // anything told after this point would follow the line above
    std::fclose(out);
    ::ExitProcess(0);  // a read that still hangs ends with the process
}
