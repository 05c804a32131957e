#include "core/run_at_logon.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace replybar {
namespace {

// The logon entry's command line: whose program it starts, and what a start after the folder
// was moved makes of it.
TEST(RunAtLogon, AnEntryOfThisProgramFollowsTheExeOnlyWhenItsOldFileIsGone) {
    const std::wstring exe = L"D:\\新工具\\ReplyBar.exe";
    const struct {
        std::optional<std::wstring> command;
        RunEntry entry;
        std::optional<std::wstring> afterStart;  // the entry once the bar has started
    } cases[] = {
        {std::nullopt, RunEntry::None, std::nullopt},
        {L"\"D:\\新工具\\ReplyBar.exe\"", RunEntry::ThisProgram, L"\"D:\\新工具\\ReplyBar.exe\""},
        {L"d:\\新工具\\replybar.EXE", RunEntry::ThisProgram, L"d:\\新工具\\replybar.EXE"},
        {L"\"C:\\旧 文件夹\\ReplyBar.exe\" /min", RunEntry::ThisProgramElsewhere,
         L"\"D:\\新工具\\ReplyBar.exe\" /min"},
        {L"C:\\Program Files\\RB\\ReplyBar.exe", RunEntry::ThisProgramElsewhere,
         L"\"D:\\新工具\\ReplyBar.exe\""},
        // The other copy is still there, the stick is not plugged in, no folder at all.
        {L"\"C:\\copy\\ReplyBar.exe\"", RunEntry::ThisProgramElsewhere,
         L"\"C:\\copy\\ReplyBar.exe\""},
        {L"\"F:\\ReplyBar.exe\"", RunEntry::ThisProgramElsewhere, L"\"F:\\ReplyBar.exe\""},
        {L"ReplyBar.exe", RunEntry::ThisProgramElsewhere, L"ReplyBar.exe"},
        {L"\"\\\\server\\share\\rb\\ReplyBar.exe\"", RunEntry::ThisProgramElsewhere,
         L"\"D:\\新工具\\ReplyBar.exe\""},
        // Another program under our entry's name is not ours to change.
        {L"\"C:\\Tools\\Other.exe\" ReplyBar.exe", RunEntry::OtherProgram,
         L"\"C:\\Tools\\Other.exe\" ReplyBar.exe"},
        {L"C:\\RB\\ReplyBar.exe.bak", RunEntry::OtherProgram, L"C:\\RB\\ReplyBar.exe.bak"},
        {L"", RunEntry::OtherProgram, L""},
    };
    testing::MemoryFiles files;
    for (const wchar_t* there :
         {L"C:\\", L"D:\\", L"\\\\server\\share\\", L"C:\\copy\\ReplyBar.exe"})
        files.files[there] = {};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command.value_or(L"(none)").size());
        EXPECT_EQ(classifyRunEntry(c.command, exe), c.entry);
        testing::FakeRunAtLogon run;
        run.command = c.command;
        EXPECT_EQ(correctStaleRunValue(run, files, exe), c.afterStart != c.command);
        EXPECT_EQ(run.command, c.afterStart);
    }
    EXPECT_EQ(runCommandFor(exe), L"\"D:\\新工具\\ReplyBar.exe\"");
}

// Task Manager's switch, as it stores it, and the start box with the note beside it: ticked only
// for an entry that starts this very copy and that Task Manager lets run.
TEST(RunAtLogon, TheStartBoxIsTickedOnlyWhenThisCopyStartsAtLogon) {
    using namespace std::string_literals;
    const std::string twelve = "\0\0\0\0\0\0\0\0\0\0\0"s;  // and the first byte
    const struct {
        std::optional<std::string> approval;
        bool disabled;
    } switches[] = {
        {std::nullopt, false},      {"\x02"s + twelve, false}, {"\x06"s + twelve, false},
        {"\x03"s + twelve, true},   {"\x07"s + twelve, true},  {"\x03"s, true},
        {""s, false},
    };
    for (const auto& c : switches) EXPECT_EQ(disabledInTaskManager(c.approval), c.disabled);

    const std::wstring exe = L"D:\\新工具\\ReplyBar.exe";
    const struct {
        std::optional<std::wstring> command;
        bool disabled;
        StartBox box;
    } cases[] = {
        {std::nullopt, false, {false, L""}},
        {std::nullopt, true, {false, L""}},
        {L"\"D:\\新工具\\ReplyBar.exe\"", false, {true, L""}},
        {L"\"d:\\新工具\\REPLYBAR.exe\" /min", false, {true, L""}},
        {L"D:\\新工具\\ReplyBar.exe", true, {false, L"（已在任务管理器中禁用）"}},
        {L"\"D:\\old\\ReplyBar.exe\" /min", false,
         {false, L"（开机时启动的是另一个副本：D:\\old\\ReplyBar.exe）"}},
        {L"D:\\old\\ReplyBar.exe", true,
         {false, L"（已在任务管理器中禁用的另一个副本：D:\\old\\ReplyBar.exe）"}},
        {L"\"C:\\Tools\\Other.exe\"", false,
         {false, L"（开机时启动的是另一个程序：C:\\Tools\\Other.exe）"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(startBoxFor(c.command, c.disabled, exe), c.box) << c.command.value_or(L"").size();
}

}  // namespace
}  // namespace replybar
