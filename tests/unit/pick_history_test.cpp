#include "reply/pick_history.h"

#include <gtest/gtest.h>

#include <iterator>

#include "fakes.h"

namespace replybar {
namespace {

using testing::FailingFiles;
using testing::FileOp;
using testing::MemoryFiles;

using namespace std::string_literals;

const std::wstring kPath = L"/data/history.txt";

PickHistory loaded(IFiles& files, const std::wstring& path = kPath) {
    PickHistory history(files, path);
    history.load();
    return history;
}

TEST(PickHistory, DamagedLinesAreSkippedAndTheRestKept) {
    // clang-format off
    const std::string damaged[] = {
        "", "garbage", "5\t组\t文字\t多一段", "5\t只有两段",                      // fields
        "12x\t\t好的", "-5\t\t好的", "0\t\t好的", "99999999999999999999\t\t好的",  // times
        "5\t\t\\q", "5\t\t末尾\\", "5\t\t\xFF\xFE", "5\t\t\0\xC0\x80"s};          // texts
    // clang-format on
    for (const std::string& bad : damaged) {
        MemoryFiles files;  // saved again by an editor: a byte-order mark, CR LF and LF
        files.files[kPath] = {"\xEF\xBB\xBF" + ("7\t\t好的\r\n" + bad) + "\n8\t售后\t退货\n" + bad};
        const PickHistory history = loaded(files);
        EXPECT_EQ(history.size(), 2u) << bad;
        EXPECT_EQ(history.lastPicked(L"", L"好的"), 7) << bad;
        EXPECT_EQ(history.lastPicked(L"售后", L"退货"), 8) << bad;
    }
    MemoryFiles files;  // missing, then a file of garbage bytes
    EXPECT_EQ(loaded(files).size(), 0u);
    for (int i = 0; i < 4096; ++i) files.files[kPath].bytes += static_cast<char>(i * 7919 % 251);
    EXPECT_EQ(loaded(files).size(), 0u);
}

// Own replies and team replies of the same text, and fields that hold what separates them.
TEST(PickHistory, TextsAndGroupsComeBackExactlyAndKeysStayApart) {
    const std::pair<std::wstring, std::wstring> picks[] = {
        {L"", L"好的"},   {L"售后", L"好的"},           {L"a\tb", L"c"},
        {L"a", L"b\tc"},  {L"", L"第一行\r\n第二行\n"}, {L"", L"C:\\路径\\n不是换行"},
        {L"组\\", L"\\"}, {L"", L"表情\U0001F600"},     {L"", L""}};
    MemoryFiles files;
    PickHistory history = loaded(files);
    for (std::size_t i = 0; i < std::size(picks); ++i)
        history.picked(picks[i].first, picks[i].second, 1000 + 10 * i);
    EXPECT_EQ(files.written.size(), std::size(picks));  // one write per pick

    const PickHistory back = loaded(files);
    EXPECT_EQ(back.size(), std::size(picks));
    for (std::size_t i = 0; i < std::size(picks); ++i)
        EXPECT_EQ(back.lastPicked(picks[i].first, picks[i].second), 1000 + 10 * i) << i;
}

TEST(PickHistory, TheLatestPickCountsAsLatestWhateverTheClockSays) {
    MemoryFiles files;
    PickHistory history = loaded(files);
    history.picked(L"", L"a", 1000);
    history.picked(L"", L"b", 1000);  // the same second
    history.picked(L"", L"c", 400);   // the clock was set back
    EXPECT_LT(history.lastPicked(L"", L"a"), history.lastPicked(L"", L"b"));
    EXPECT_LT(history.lastPicked(L"", L"b"), history.lastPicked(L"", L"c"));
}

TEST(PickHistory, TheOldestPicksGoBeyondTheLimits) {
    MemoryFiles files;
    for (int i = 0; i < 5000; ++i)
        files.files[kPath].bytes += std::to_string(100 + i) + "\t组\t" + std::to_string(i) + "\n";
    PickHistory history = loaded(files);
    history.picked(L"组", L"5000", 5100);
    EXPECT_EQ(loaded(files).size(), 5000u);
    EXPECT_EQ(loaded(files).lastPicked(L"组", L"0"), 0);

    const std::wstring longText(100'000, L'长');  // 300 KB each in the file
    history.picked(L"", longText + L"1", 9000);
    history.picked(L"", longText + L"2", 9001);
    EXPECT_LE(files.files[kPath].bytes.size(), 512u * 1024);
    EXPECT_EQ(loaded(files).lastPicked(L"", longText + L"2"), 9001);
    EXPECT_EQ(loaded(files).lastPicked(L"", longText + L"1"), 0);
}

// Neither a failed write nor a file another program holds loses the history on disk, and no
// pick is lost once the file can be written again. No data folder: nothing is written.
TEST(PickHistory, AFailedWriteOrAnUnreadableFileLosesNothing) {
    MemoryFiles memory;
    memory.files[kPath] = {"5\t\t旧\r\n"};
    FailingFiles files(memory);
    PickHistory history = loaded(files);
    files.fail(FileOp::Write, kPath);
    history.picked(L"", L"新", 10);
    EXPECT_EQ(memory.files[kPath].bytes, "5\t\t旧\r\n");
    EXPECT_EQ(loaded(files).size(), 1u);  // the half-written temporary file is not read

    files.failNothing();
    files.fail(FileOp::Read, kPath);
    PickHistory held = loaded(files);
    held.picked(L"", L"再", 20);
    EXPECT_EQ(memory.files[kPath].bytes, "5\t\t旧\r\n");
    files.failNothing();
    held.picked(L"", L"又", 30);
    for (const auto& [text, time] : {std::pair(L"旧", 5), {L"再", 20}, {L"又", 30}})
        EXPECT_EQ(loaded(files).lastPicked(L"", text), time) << time;

    MemoryFiles none;
    PickHistory withoutFolder = loaded(none, L"");
    withoutFolder.picked(L"", L"好的", 10);
    EXPECT_EQ(withoutFolder.lastPicked(L"", L"好的"), 10);
    EXPECT_TRUE(none.files.empty());
}

}  // namespace
}  // namespace replybar
