#include "core/run_at_logon.h"

#include <algorithm>
#include <cwctype>

#include "core/settings_texts.h"

namespace replybar {

namespace {

std::wstring lower(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return text;
}

std::wstring fileName(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool isSpace(wchar_t c) { return c == L' ' || c == L'\t'; }

// "D:\" of a path on a drive, "\\server\share\" of a path on a share; "" for anything else.
std::wstring volumeRoot(const std::wstring& path) {
    if (path.size() >= 3 && std::iswalpha(path[0]) && path[1] == L':' &&
        (path[2] == L'\\' || path[2] == L'/'))
        return path.substr(0, 2) + L"\\";
    if (path.rfind(L"\\\\", 0) != 0) return L"";
    const std::size_t server = path.find(L'\\', 2);
    if (server == std::wstring::npos || server == 2) return L"";
    const std::size_t share = path.find(L'\\', server + 1);
    if (share == std::wstring::npos || share == server + 1) return L"";
    return path.substr(0, share + 1);
}

}  // namespace

std::wstring runCommandFor(const std::wstring& exePath) { return L"\"" + exePath + L"\""; }

RunCommand splitRunCommand(const std::wstring& command) {
    const std::size_t start = std::min(command.find_first_not_of(L" \t"), command.size());
    if (start < command.size() && command[start] == L'"') {
        const std::size_t close = command.find(L'"', start + 1);
        if (close == std::wstring::npos) return {command.substr(start + 1), L""};
        return {command.substr(start + 1, close - start - 1), command.substr(close + 1)};
    }
    const std::wstring folded = lower(command);
    for (std::size_t at = folded.find(L".exe", start); at != std::wstring::npos;
         at = folded.find(L".exe", at + 1)) {
        const std::size_t end = at + 4;
        if (end == command.size() || isSpace(command[end]))
            return {command.substr(start, end - start), command.substr(end)};
    }
    const std::size_t space = command.find_first_of(L" \t", start);
    if (space == std::wstring::npos) return {command.substr(start), L""};
    return {command.substr(start, space - start), command.substr(space)};
}

RunEntry classifyRunEntry(const std::optional<std::wstring>& command, const std::wstring& exePath) {
    if (!command) return RunEntry::None;
    const std::wstring program = lower(splitRunCommand(*command).program);
    if (program == lower(exePath)) return RunEntry::ThisProgram;
    if (fileName(program) == lower(fileName(exePath))) return RunEntry::ThisProgramElsewhere;
    return RunEntry::OtherProgram;
}

bool disabledInTaskManager(const std::optional<std::string>& approval) {
    return approval && !approval->empty() && (static_cast<unsigned char>((*approval)[0]) & 1);
}

StartBox startBoxFor(const std::optional<std::wstring>& command, bool disabled,
                     const std::wstring& exePath) {
    const RunEntry entry = classifyRunEntry(command, exePath);
    if (entry == RunEntry::None) return {};
    if (entry == RunEntry::ThisProgram)
        return disabled ? StartBox{false, texts::kStartDisabled} : StartBox{true, L""};
    return {false, texts::startIsOther(entry == RunEntry::ThisProgramElsewhere, disabled,
                                       splitRunCommand(*command).program)};
}

bool correctStaleRunValue(IRunAtLogon& run, IFiles& files, const std::wstring& exePath) {
    const std::optional<std::wstring> command = run.read();
    if (classifyRunEntry(command, exePath) != RunEntry::ThisProgramElsewhere) return false;
    const RunCommand parts = splitRunCommand(*command);
    // Only a file gone from a drive or share that is there: a stick or a share that is away
    // now may well come back with the other copy on it.
    const std::wstring root = volumeRoot(parts.program);
    if (root.empty() || !files.exists(root) || files.exists(parts.program)) return false;
    std::wstring reason;
    return run.write(runCommandFor(exePath) + parts.rest, reason);
}

}  // namespace replybar
