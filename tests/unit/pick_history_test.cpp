#include "search/pick_history.h"

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
constexpr std::int64_t kNow = 2'000'000'000;

PickHistory loaded(IFiles& files, const std::wstring& path = kPath) {
    PickHistory history(files, path);
    history.load(kNow);
    return history;
}

// The writer's one step for a single pick.
bool write(IFiles& files, const std::wstring& group, const std::wstring& text, std::int64_t time) {
    PickTimes pick;
    pick.keep(group, text, time);
    return writePicks(files, kPath, pick, kNow).has_value();
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
    for (std::size_t i = 0; i < std::size(picks); ++i)
        EXPECT_TRUE(write(files, picks[i].first, picks[i].second, 1000 + 10 * i));
    EXPECT_EQ(files.written.size(), std::size(picks));  // each keeps what the ones before wrote

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

    // Lines from the future count as picked at the load, and no later pick is behind them.
    files.files[kPath] = {"253402300799\t\tfar\r\n2000000300\t\tnear\r\n"};
    PickHistory ahead = loaded(files);
    EXPECT_EQ(ahead.lastPicked(L"", L"far") + ahead.lastPicked(L"", L"near"), 2 * kNow);
    EXPECT_EQ(ahead.picked(L"", L"new", kNow), kNow + 1);
}

// The picks against what the file holds: per reply the later time; a time from the future just
// before the picks; a damaged line dropped; a file another program holds left as it is.
TEST(PickHistory, AWriteKeepsTheLaterTimeOfEachReply) {
    const struct {
        const char* what;
        const char* file;   // nullptr: none yet
        bool held;          // there, but cannot be read
        std::string after;  // once "a" picked at 900 and "b" at 902 are written at 1000
    } cases[] = {
        // clang-format off
        {"none yet", nullptr, false, "902\t\tb\r\n900\t\ta\r\n"},
        {"newer in the file", "990\t\ta\r\n", false, "990\t\ta\r\n902\t\tb\r\n"},
        {"newer in memory", "800\t\ta\r\n", false, "902\t\tb\r\n900\t\ta\r\n"},
        {"only in the file", "800\t组\tc\r\n", false, "902\t\tb\r\n900\t\ta\r\n800\t组\tc\r\n"},
        {"an hour ahead", "4600\t\tc\r\n", false, "902\t\tb\r\n900\t\ta\r\n899\t\tc\r\n"},
        {"9999", "253402300799\t\tc\r\n", false, "902\t\tb\r\n900\t\ta\r\n899\t\tc\r\n"},
        {"damaged", "9x9\t\tc\r\n800\t\td\r\n", false, "902\t\tb\r\n900\t\ta\r\n800\t\td\r\n"},
        {"held by another program", "800\t\tc\r\n", true, "800\t\tc\r\n"},
        // clang-format on
    };
    for (const auto& c : cases) {
        MemoryFiles memory;
        if (c.file) memory.files[kPath] = {c.file};
        FailingFiles files(memory);
        if (c.held) files.fail(FileOp::Read, kPath);
        PickTimes picks;
        picks.keep(L"", L"a", 900);
        picks.keep(L"", L"b", 902);
        EXPECT_EQ(writePicks(files, kPath, picks, 1000).has_value(), !c.held) << c.what;
        EXPECT_EQ(memory.files[kPath].bytes, c.after) << c.what;
    }
}

TEST(PickHistory, TheOldestPicksGoBeyondTheLimits) {
    MemoryFiles files;
    for (int i = 0; i < 5000; ++i)
        files.files[kPath].bytes += std::to_string(100 + i) + "\t组\t" + std::to_string(i) + "\n";
    write(files, L"组", L"5000", 5100);
    EXPECT_EQ(loaded(files).size(), 5000u);
    EXPECT_EQ(loaded(files).lastPicked(L"组", L"0"), 0);

    const std::wstring longText(100'000, L'长');  // 300 KB each in the file
    write(files, L"", longText + L"1", 9000);
    write(files, L"", longText + L"2", 9001);
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
    files.fail(FileOp::Write, kPath);
    EXPECT_FALSE(write(files, L"", L"新", 10));
    EXPECT_EQ(memory.files[kPath].bytes, "5\t\t旧\r\n");
    EXPECT_EQ(loaded(files).size(), 1u);  // the half-written temporary file is not read

    files.failNothing();
    files.fail(FileOp::Read, kPath);  // held: no history for now, and the writer waits
    EXPECT_EQ(loaded(files).size(), 0u);

    MemoryFiles none;
    PickHistory withoutFolder = loaded(none, L"");
    withoutFolder.picked(L"", L"好的", 10);
    EXPECT_EQ(withoutFolder.lastPicked(L"", L"好的"), 10);
    EXPECT_TRUE(none.files.empty());
}

}  // namespace
}  // namespace replybar
