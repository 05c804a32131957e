// Starting with Windows: the entry "ReplyBar" among the programs Windows starts at the user's
// logon (HKCU ...\CurrentVersion\Run). Its value is a command line; the entry belongs to this
// program when that command starts a file of the running exe's name. An entry of that name
// that starts another program entirely is the other program's, and is left alone.
#pragma once

#include <optional>
#include <string>

#include "core/ports.h"

namespace replybar {

inline constexpr wchar_t kRunEntryName[] = L"ReplyBar";

// The command line for the exe: its full path in quotes, since Windows would otherwise take a
// path with spaces for a shorter program and its arguments.
std::wstring runCommandFor(const std::wstring& exePath);

// A command line taken apart: the program's path and whatever follows it (arguments, spaces).
struct RunCommand {
    std::wstring program, rest;
};
// The program is what stands between leading quotes; unquoted, it runs up to and including the
// first ".exe" that ends a word, and without one up to the first space.
RunCommand splitRunCommand(const std::wstring& command);

enum class RunEntry {
    None,                  // no entry
    ThisProgram,           // starts the running exe
    ThisProgramElsewhere,  // starts a file of the same name in another folder
    OtherProgram,          // starts something else
};
RunEntry classifyRunEntry(const std::optional<std::wstring>& command, const std::wstring& exePath);

// Task Manager's switch for the entry ("启动" page): a binary value of the entry's name under
// HKCU ...\Explorer\StartupApproved\Run, whose first byte is odd (03, 07) while the user has
// disabled it there and even (02, 06) once enabled again. No value, or no byte: enabled. The
// bar only reads it; switching it back is the user's, in Task Manager.
bool disabledInTaskManager(const std::optional<std::string>& approval);

// The start box of the settings dialog: ticked only when the entry starts this copy and Task
// Manager lets it; else unticked, with what stands in the way said beside it (empty: nothing).
struct StartBox {
    bool ticked = false;
    std::wstring note;
    bool operator==(const StartBox&) const = default;
};
StartBox startBoxFor(const std::optional<std::wstring>& command, bool disabled,
                     const std::wstring& exePath);

// At start-up: an entry that starts this program from a folder where its file no longer is (the
// user moved the folder) is pointed at the running exe, its arguments kept. An entry whose file
// is still there (another copy), whose drive or share is not (a stick that is not plugged in
// now), or that names no folder, and any other entry, are left as they are. True when it wrote
// the entry anew.
bool correctStaleRunValue(IRunAtLogon& run, IFiles& files, const std::wstring& exePath);

}  // namespace replybar
