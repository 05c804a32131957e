#include "reply/icon_codes.h"
#include "reply/reply_store.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <set>
#include <tuple>

#include "fakes.h"
#include "core/codec.h"
#include "core/files.h"

namespace replybar {
namespace {

namespace fs = std::filesystem;
using testing::FailingFiles;
using testing::FakeMessages;
using testing::FileOp;

const std::string kGbkNoAutoSend =
    "\xB2\xBB\xD2\xAA\xD7\xD4\xB6\xAF\xB7\xA2\xCB\xCD\xD0\xC5\xCF\xA2\r\n";  // 不要自动发送信息

// A fresh data folder per test, on the real file system.
class ReplyStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "replystore-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        dataDir_ = codec::fromUtf8(dir_.string() + "/");
    }
    void TearDown() override { fs::remove_all(dir_); }

    void put(const std::string& name, const std::string& bytes) {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }
    void putReplies(int count) {  // i.txt holds "ri" and CR LF
        for (int i = 0; i < count; ++i)
            put(std::to_string(i) + ".txt", "r" + std::to_string(i) + "\r\n");
    }
    std::wstring onlyMessage() const {
        EXPECT_EQ(messages_.shown.size(), 1u);
        return messages_.shown.empty() ? L"" : messages_.shown[0].text;
    }
    std::string get(const std::string& name) const {
        std::ifstream in(dir_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    bool has(const std::string& name) const { return fs::exists(dir_ / name); }
    std::wstring path(const std::string& name) const { return dataDir_ + codec::fromUtf8(name); }

    ReplyStore store() { return ReplyStore(failing_, messages_, dataDir_); }
    PanelSize load() {
        replies_ = store().loadReplies(replies_);
        return panelSizeFor(replies_.count());
    }

    fs::path dir_;
    std::wstring dataDir_;
    std::unique_ptr<IFiles> files_ = makeSystemFiles();
    FailingFiles failing_{*files_};
    FakeMessages messages_;
    Replies replies_;
};

// Gaps an interrupted delete left are closed by moving the later files down in order; while a
// file blocks that, the replies from it on stay unseen, and adding never writes over them.
TEST_F(ReplyStoreTest, LoadingClosesGapsAndAddingNeverReplacesAFile) {
    put("0.txt", "a\r\n");
    put("1.txt", "b\r\n");
    put("3.txt", "d\r\n");
    put("5.txt", "f\r\n");
    failing_.fail(FileOp::Rename, path("3.txt"), L"另一个程序正在使用此文件，进程无法访问。");
    EXPECT_EQ(load().height, 345 + 180 + 60);
    EXPECT_EQ(replies_.count(), 2);
    ReplyStore s = store();
    replies_ = s.loadReplies(replies_);
    EXPECT_TRUE(s.hiddenReplies());
    EXPECT_NE(messages_.shown[0].text.find(L"没有丢失"), std::wstring::npos);

    messages_.shown.clear();
    EXPECT_TRUE(s.addReplyFile(2, L"c"));  // into the gap: nothing is there
    EXPECT_FALSE(s.addReplyFile(3, L"x"));
    EXPECT_EQ(get("3.txt"), "d\r\n");
    EXPECT_NE(onlyMessage().find(path("3.txt")), std::wstring::npos);

    failing_.failNothing();  // the other program let go
    replies_ = s.loadReplies(replies_);
    EXPECT_FALSE(s.hiddenReplies());
    EXPECT_EQ(replies_.count(), 5);
    const char* expected[] = {"a", "b", "c", "d", "f"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(get(std::to_string(i) + ".txt"), expected[i] + std::string("\r\n"));
    EXPECT_FALSE(has("5.txt"));
}

// Killed at any moment of closing the gaps, the next load still finds every reply exactly once
// and in order.
TEST_F(ReplyStoreTest, AKillWhileClosingGapsLosesNothing) {
    std::mt19937 random(7);
    for (int round = 0; round < 30; ++round) {
        for (int i = 0; i < 41; ++i) fs::remove(dir_ / (std::to_string(i) + ".txt"));
        for (int i = 1; i < 41; i += 1 + round % 3) put(std::to_string(i) + ".txt", std::to_string(i));
        std::vector<std::string> before;
        for (int i = 0; i < 41; ++i)
            if (has(std::to_string(i) + ".txt")) before.push_back(std::to_string(i));
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ReplyStore s(*files_, messages_, dataDir_);
            char go = 1;
            (void)!::write(ready[1], &go, 1);
            s.loadReplies({});
            ::_exit(0);
        }
        char go = 0;
        (void)!::read(ready[0], &go, 1);  // the load is starting: kill it somewhere inside
        ::close(ready[0]);
        ::close(ready[1]);
        ::usleep(std::uniform_int_distribution<unsigned>(0, 2000)(random));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        load();
        ASSERT_EQ(replies_.count(), static_cast<int>(before.size())) << "round " << round;
        for (std::size_t i = 0; i < before.size(); ++i)
            ASSERT_EQ(get(std::to_string(i) + ".txt"), before[i]) << "round " << round;
    }
}

// What a kill between the steps of a write or a delete left: a temporary file goes into place
// when its file is missing and away when it is there, a file renamed to be deleted goes, and
// every other file, the user's own included, stays as it was.
TEST_F(ReplyStoreTest, LeftoversOfAKillAreCleanedWithoutLosingAReply) {
    const std::pair<std::string, std::string> before[] = {
        {"0.txt", "r0\r\n"},
        {"0.txt.tmp", "half"},                  // a rewrite of 0.txt: 0.txt stays whole
        {"1.txt.tmp", "r1\r\n"},                // a new reply not yet in place
        {"2.txt", "r2\r\n"},                    // after it, so it keeps its number
        {"bmpk.txt.tmp", "012\r\n"},            // the codes, written for the first time
        {"N.TXT.TMP", ""},                      // begun, nothing in it yet
        {"3.txt.4711-2.replybar-deleted", "x"},  // deleted by the user
        {"bmpk.txt.12-1.replybar-deleted", "x"},
        {"notes.txt.tmp", "mine"},
        {"a.txt.tmp", "mine"},
        {"0.txt.tmp.bak", "mine"},
        {"notes.txt.1-1.replybar-deleted", "mine"},
        {"0.txt.x-1.replybar-deleted", "mine"},
    };
    for (const auto& [name, bytes] : before) put(name, bytes);
    fs::create_directory(dir_ / "5.txt.tmp");
    load();
    EXPECT_EQ(replies_.count(), 3);
    EXPECT_EQ(replies_.rows[0].fullText, L"r0");
    EXPECT_EQ(replies_.rows[1].fullText, L"r1");
    EXPECT_EQ(replies_.rows[2].fullText, L"r2");
    EXPECT_EQ(replies_.iconCodes, L"012");
    EXPECT_TRUE(replies_.autoSend);
    std::set<std::string> after;
    for (const auto& entry : fs::directory_iterator(dir_)) after.insert(entry.path().filename());
    EXPECT_EQ(after, (std::set<std::string>{"0.txt", "1.txt", "2.txt", "bmpk.txt", "5.txt.tmp",
                                            "notes.txt.tmp", "a.txt.tmp", "0.txt.tmp.bak",
                                            "notes.txt.1-1.replybar-deleted",
                                            "0.txt.x-1.replybar-deleted"}));
    EXPECT_TRUE(messages_.shown.empty());
}

// A reply pastes as the user typed it: the one line break the writer appends to every file is
// not part of it, one the user typed at the end is, and a file without one loses nothing.
TEST_F(ReplyStoreTest, LoadedTextAndItsRowCaption) {
    const std::tuple<std::string, std::wstring, std::wstring> cases[] = {
        {"abc\r\n", L"abc", L"abc\u3000"},
        {"abc", L"abc", L"abc\u3000"},
        {"a\r\nb\r\n", L"a\r\nb", L"a b\u3000"},
        {"a\r\n\r\n", L"a\r\n", L"a \u3000"},  // typed with a final line break
        {"a\nb\n", L"a\r\nb", L"a b\u3000"},     // saved by hand with bare line feeds
        {"\xBA\xC3\xB5\xC4\r\n", L"好的", L"好的\u3000"},
        {"\xEF\xBB\xBF\xF0\x9F\x98\x80\r\n", L"\U0001F600", L"\U0001F600\u3000"},
    };
    for (const auto& [bytes, fullText, displayText] : cases) {
        put("0.txt", bytes);
        load();
        EXPECT_EQ(replies_.rows[0].fullText, fullText);
        EXPECT_EQ(replies_.rows[0].displayText, displayText);
    }
}

TEST_F(ReplyStoreTest, IconCodes) {
    struct Case {
        const char* file;  // nullptr: no bmpk.txt
        int replies;
        std::wstring codes;
        std::array<int, 3> icons;
    };
    const Case cases[] = {
        {"3 0\r\n", 3, L"3 0", {3, -1, 0}},
        {"3\r\n \r\n0\r\n", 3, L"3 0", {3, -1, 0}},  // split over lines
        {nullptr, 3, L"", {-1, -1, -1}},
        {"5\r\n", 3, L"5", {5, -1, -1}},  // shorter than the replies
        {"x7?\r\n", 3, L"x7?", {-1, 7, -1}},
        {"\r\n", 0, L"", {-1, -1, -1}},
    };
    for (const Case& c : cases) {
        fs::remove_all(dir_);
        fs::create_directory(dir_);
        putReplies(c.replies);
        if (c.file) put("bmpk.txt", c.file);
        load();
        EXPECT_EQ(replies_.iconCodes, c.codes) << c.file;
        for (int row = 0; row < replies_.count(); ++row) {
            EXPECT_EQ(replies_.rows[row].icon, c.icons[row]) << c.file << " row " << row;
            EXPECT_EQ(replies_.rows[row].iconCode, c.icons[row] < 0 ? L' ' : L'0' + c.icons[row]);
        }
        if (c.file) {
            EXPECT_EQ(get("bmpk.txt"), c.file);  // loading rewrites nothing
        }
    }
}

TEST_F(ReplyStoreTest, MoreFilesThanRowsLoadTheFirst41AndTouchNothing) {
    putReplies(45);
    EXPECT_EQ(load().height, 11970 + 180 + 60);
    EXPECT_EQ(replies_.count(), 41);
    EXPECT_EQ(replies_.rows[40].fullText, L"r40");
    EXPECT_EQ(get("44.txt"), "r44\r\n");
    EXPECT_TRUE(messages_.shown.empty());
}

// Auto-send follows the marker file; a data folder that went away (renamed, a drive unplugged)
// tells nothing, and the state stays as it was.
TEST_F(ReplyStoreTest, AutoSendFollowsTheMarkerWhileTheFolderIsThere) {
    for (const bool folder : {true, false}) {
        for (const bool marker : {false, true}) {
            for (const bool before : {false, true}) {
                fs::remove_all(dir_);
                if (folder) fs::create_directory(dir_);
                if (folder && marker) put("n.txt", kGbkNoAutoSend);
                replies_.autoSend = before;
                load();
                EXPECT_EQ(replies_.autoSend, folder ? !marker : before)
                    << folder << marker << before;
            }
        }
    }
    fs::create_directory(dir_);
}

TEST_F(ReplyStoreTest, UnreadableReplyKeepsItsNumberAndIsReported) {
    putReplies(3);
    failing_.fail(FileOp::Read, path("1.txt"));
    load();
    EXPECT_EQ(replies_.count(), 3);
    EXPECT_EQ(replies_.rows[2].fullText, L"r2");
    EXPECT_NE(onlyMessage().find(path("1.txt")), std::wstring::npos);
}

TEST_F(ReplyStoreTest, ReadForEditing) {
    const std::pair<std::string, std::optional<std::wstring>> cases[] = {
        {"abc\r\n", L"abc"},     {"a\r\nb\r\n", L"a\r\nb"},
        {"a\r\n\r\n", L"a\r\n"},  // a break typed at the end survives
        {"a\rb\r", L"a\r\nb"},   {"a\nb\n", L"a\r\nb"},
        {"abc", L"abc"},         {"\r\n", L""},
        {"", L""},               {"\xD6\xD0\xCE\xC4\r\n", L"中文"},
    };
    for (const auto& [bytes, text] : cases) {
        put("0.txt", bytes);
        EXPECT_EQ(store().readReplyForEditing(0), text) << bytes;
    }
    EXPECT_EQ(store().readReplyForEditing(7), L"");  // missing
    for (const std::wstring text : {L"line\r\n", L"\U0001F600 好"}) {
        ASSERT_TRUE(store().writeReplyFile(0, text));
        EXPECT_EQ(store().readReplyForEditing(0), text);
    }
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(ReplyStoreTest, BytesOnDisk) {
    ReplyStore s = store();
    ASSERT_TRUE(s.writeReplyFile(0, L"中文"));
    EXPECT_EQ(get("0.txt"), "\xD6\xD0\xCE\xC4\r\n");
    ASSERT_TRUE(s.writeReplyFile(1, L"\U0001F600"));
    EXPECT_EQ(get("1.txt"), "\xEF\xBB\xBF\xF0\x9F\x98\x80\r\n");
    ASSERT_TRUE(s.writeIconCodeFile(L"3\r\n 0"));
    EXPECT_EQ(get("bmpk.txt"), "3 0\r\n");
    ASSERT_TRUE(s.writeIconCodeFile(L""));
    EXPECT_EQ(get("bmpk.txt"), "\r\n");
    ASSERT_TRUE(s.setAutoSend(replies_, false));
    EXPECT_FALSE(replies_.autoSend);
    EXPECT_EQ(get("n.txt"), kGbkNoAutoSend);
    ASSERT_TRUE(s.setAutoSend(replies_, true));
    EXPECT_TRUE(replies_.autoSend);
    EXPECT_FALSE(has("n.txt"));
    EXPECT_TRUE(s.setAutoSend(replies_, true));  // already without the marker
    EXPECT_FALSE(has("0.txt.tmp"));
}

TEST_F(ReplyStoreTest, RemoveRenumbersTheLaterFiles) {
    putReplies(4);
    ASSERT_TRUE(store().removeReply(1, 3));
    EXPECT_EQ(get("1.txt"), "r2\r\n");
    EXPECT_EQ(get("2.txt"), "r3\r\n");
    EXPECT_FALSE(has("3.txt"));
    ASSERT_TRUE(store().removeReply(2, 2));  // the last one: nothing to move
    EXPECT_FALSE(has("2.txt"));
    EXPECT_EQ(get("1.txt"), "r2\r\n");
}

TEST_F(ReplyStoreTest, FailedRenameStopsWithoutLosingAFile) {
    putReplies(5);
    failing_.fail(FileOp::Rename, path("3.txt"), L"拒绝访问。");
    EXPECT_FALSE(store().removeReply(0, 4));
    EXPECT_EQ(get("1.txt"), "r2\r\n");
    EXPECT_FALSE(has("2.txt"));
    EXPECT_EQ(get("3.txt"), "r3\r\n");
    EXPECT_EQ(get("4.txt"), "r4\r\n");
    EXPECT_EQ(onlyMessage().find(L"无法重命名文件：\n" + path("3.txt") + L" → " + path("2.txt") +
                                 L"\n\n拒绝访问。\n\n其后的回复暂时不显示，但没有丢失"),
              0u);
    EXPECT_EQ(messages_.shown[0].title, L"快捷回复条");
    EXPECT_EQ(messages_.shown[0].kind, MessageKind::Error);
}

TEST_F(ReplyStoreTest, FailuresAreReportedAndChangeNothing) {
    struct Case {
        FileOp op;
        const char* file;
        std::function<bool(ReplyStore&, Replies&)> action;
        std::wstring message;
    };
    const Case cases[] = {
        {FileOp::Remove, "0.txt", [](auto& s, auto&) { return s.removeReply(0, 1); },
         L"无法删除文件："},
        {FileOp::Write, "0.txt",
         [](auto& s, auto&) { return s.writeReplyFile(0, L"a longer new text"); },
         L"无法保存文件："},
        {FileOp::Write, "n.txt", [](auto& s, auto& b) { return s.setAutoSend(b, false); },
         L"无法保存文件："},
        {FileOp::Remove, "n.txt", [](auto& s, auto& b) { return s.setAutoSend(b, true); },
         L"无法删除文件："},
    };
    putReplies(2);
    put("n.txt", kGbkNoAutoSend);
    for (const Case& c : cases) {
        messages_.shown.clear();
        failing_.fail(c.op, path(c.file));
        replies_.autoSend = c.file == std::string("n.txt") && c.op == FileOp::Write;
        const bool autoSend = replies_.autoSend;
        ReplyStore s = store();
        EXPECT_FALSE(c.action(s, replies_)) << c.file;
        EXPECT_EQ(replies_.autoSend, autoSend);
        EXPECT_EQ(onlyMessage(), c.message + L"\n" + path(c.file) + L"\n\n磁盘空间不足。");
        EXPECT_EQ(get("0.txt"), "r0\r\n");
        EXPECT_EQ(get("1.txt"), "r1\r\n");
        EXPECT_EQ(get("n.txt"), kGbkNoAutoSend);
    }
}

// The real file port, where the fake above only pretends.
TEST_F(ReplyStoreTest, SystemFilesWriteIsAllOrNothing) {
    put("0.txt", "old\r\n");
    std::wstring reason;
    fs::create_directory(dir_ / "0.txt.tmp");  // the temporary file cannot be made
    EXPECT_FALSE(files_->writeAtomic(path("0.txt"), "new", reason));
    EXPECT_FALSE(reason.empty());
    fs::remove(dir_ / "0.txt.tmp");

    // The disk fills up halfway through.
    struct rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto savedSignal = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = files_->writeAtomic(path("0.txt"), std::string(100000, 'x'), reason);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, savedSignal);
    EXPECT_FALSE(written);
    EXPECT_EQ(get("0.txt"), "old\r\n");
    EXPECT_FALSE(has("0.txt.tmp"));
}

TEST_F(ReplyStoreTest, SystemFilesRenameNeverOverwrites) {
    put("1.txt", "one");
    put("2.txt", "two");
    std::wstring reason;
    EXPECT_FALSE(files_->rename(path("2.txt"), path("1.txt"), reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(get("1.txt"), "one");
    EXPECT_TRUE(files_->rename(path("2.txt"), path("3.txt"), reason));
    EXPECT_EQ(get("3.txt"), "two");
}

// Without a data folder nothing is read and every write is refused with a message: nothing
// lands anywhere else.
TEST(ReplyStoreWithoutFolder, ReadsNothingAndRefusesEveryWrite) {
    testing::MemoryFiles files;
    files.files[L"0.txt"] = {"a stray file in the working folder\r\n"};
    FakeMessages messages;
    ReplyStore store(files, messages, L"");
    Replies replies = store.loadReplies({});
    EXPECT_EQ(replies.count(), 0);
    EXPECT_EQ(store.readReplyForEditing(0), L"");
    EXPECT_FALSE(store.writeReplyFile(0, L"x"));
    EXPECT_FALSE(store.writeIconCodeFile(L"0"));
    EXPECT_FALSE(store.removeReply(0, 0));
    EXPECT_FALSE(store.setAutoSend(replies, false));
    EXPECT_TRUE(replies.autoSend);
    EXPECT_TRUE(files.written.empty());
    EXPECT_EQ(files.files.size(), 1u);
    ASSERT_EQ(messages.shown.size(), 4u);
    EXPECT_EQ(messages.shown[0].text, L"找不到应用程序数据文件夹，回复无法保存。");
}

TEST(PanelGeometry, Size) {
    const std::tuple<int, int, int> cases[] = {
        {0, 1545, 0},
        {1, 5805, 30 + 180 + 60},
        {40, 5805, 11610 + 240 + 60},  // row 39 is the taller one
        {41, 5805, 11970 + 180 + 60},
    };
    for (const auto& [replies, width, height] : cases) {
        EXPECT_EQ(panelSizeFor(replies).width, width) << replies;
        EXPECT_EQ(panelSizeFor(replies).height, height) << replies;
    }
}

TEST(PanelGeometry, HitTest) {
    struct Case {
        int x, y, replies, row;
        RowPart part;
    };
    const Case cases[] = {
        {5819, 209, 3, 0, RowPart::Text},    {5820, 100, 3, -1, RowPart::None},
        {400, 250, 3, -1, RowPart::None},  // between rows 0 and 1
        {299, 524, 3, 1, RowPart::Icon},     {400, 630, 2, -1, RowPart::None},  // not a reply
        {400, 11975, 41, 40, RowPart::Text},
    };
    for (const Case& c : cases) {
        const RowHit hit = hitTestRow(c.x, c.y, c.replies);
        EXPECT_EQ(hit.row, c.row) << c.x << "," << c.y;
        EXPECT_EQ(hit.part, c.part) << c.x << "," << c.y;
    }
}

TEST(ReplyTable, IconCodeEditsNeverShiftOtherReplies) {
    EXPECT_EQ(appendIconCode(L"012", 3, L'5'), L"0125");
    EXPECT_EQ(appendIconCode(L"0", 3, L'5'), L"0  5");
    EXPECT_EQ(appendIconCode(L"01234", 3, L'9'), L"0129");
    EXPECT_EQ(replaceIconCode(L"0123", 2, L'5'), L"0523");
    EXPECT_EQ(replaceIconCode(L"0", 3, L'7'), L"0 7");
    EXPECT_EQ(removeIconCode(L"0123", 2), L"023");
    EXPECT_EQ(removeIconCode(L"0", 3), L"0 ");
}

}  // namespace
}  // namespace replybar
