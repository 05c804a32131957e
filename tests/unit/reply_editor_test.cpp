#include "reply/reply_editor.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "fakes.h"
#include "reply/reply_store.h"
#include "team/team_csv.h"
#include "team/team_texts.h"
#include "core/codec.h"
#include "core/files.h"

namespace replybar {
namespace {

namespace fs = std::filesystem;
using testing::FakeMessages;

struct FakeView : IEditorView {
    void setList(int r, std::optional<int> s) override { rows = r, selection = s; }
    void enableList(bool on) override { listEnabled = on; }
    std::wstring text() override { return textBox; }
    void setText(const std::wstring& t) override { textBox = t; }
    void focusText() override { ++focused; }
    void setPreviewIcon(int icon) override { preview = icon; }
    void showIconStrip(bool on) override { strip = on; }
    void showCancelAdd(bool on) override { cancelAdd = on; }
    void enableDelete(bool on) override { deleteEnabled = on; }
    void setAutoSendChecked(bool on) override { checked = on; }
    void close() override { closed = true; }

    int rows = 0;  // the list shows "1" to rows
    std::optional<int> selection;
    bool listEnabled = true, strip = false, cancelAdd = false, deleteEnabled = true;
    bool checked = false, closed = false;
    std::wstring textBox;
    int preview = -2, focused = 0;
};

struct FakeHost : IEditorHost {
    void setPanelSize(const PanelSize& s) override { panel = s; }
    void exitProgram() override { exited = true; }
    PanelSize panel{-1, -1};
    bool exited = false;
};

struct FakeChooser : IFileChooser {
    std::optional<std::wstring> chooseFileToSave(const std::wstring&) override { return path; }
    std::optional<std::wstring> chooseFileToOpen() override { return path; }
    std::optional<std::wstring> path;  // what the user picks; none: cancelled
};

// Replies on a real data folder, loaded as the bar loads them, and an editor opened on them.
class ReplyEditorTest : public ::testing::Test {
protected:
    static fs::path makeFolder() {
        std::string pattern = (fs::temp_directory_path() / "replyeditor-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
        return pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    void put(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
    std::string get(const std::string& name) const {
        std::ifstream in(dir / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    bool has(const std::string& name) const { return fs::exists(dir / name); }
    void replies(int n, const std::string& codes) {
        for (int i = 0; i < n; ++i)
            put(std::to_string(i) + ".txt", "r" + std::to_string(i) + "\r\n");
        put("bmpk.txt", codes + "\r\n");
    }
    void open(int index = 0) {
        shown = store.loadReplies(shown);
        editor.open(index);
    }
    void type(const std::wstring& text) {
        view.textBox = text;
        editor.textChanged();
    }

    fs::path dir = makeFolder();
    std::unique_ptr<IFiles> files = makeSystemFiles();
    testing::FailingFiles failing{*files};
    FakeMessages messages;
    ReplyStore store{failing, messages, codec::fromUtf8(dir.string() + "/")};
    Replies shown;  // the bar's replies, as the editor leaves them
    FakeView view;
    FakeHost host;
    FakeChooser chooser;
    ReplyEditor editor{shown, store, messages, host, view, failing, chooser};
};

TEST_F(ReplyEditorTest, OpeningSelectsTheRequestedReplyOrTheLast) {
    replies(3, "01 ");
    open(1);
    EXPECT_EQ(view.rows, 3);
    EXPECT_EQ(view.selection, 1);
    EXPECT_EQ(view.textBox, L"r1");  // the writer's final CR LF is not part of the text
    EXPECT_EQ(view.preview, 1);
    EXPECT_FALSE(view.cancelAdd);  // changing, not adding
    EXPECT_TRUE(view.listEnabled && view.deleteEnabled);
    open(7);  // beyond the replies after deletions elsewhere
    EXPECT_EQ(view.selection, 2);
    EXPECT_EQ(view.textBox, L"r2");
    EXPECT_EQ(view.preview, -1);
}

TEST_F(ReplyEditorTest, NoRepliesOpensInAddingStateAndCancelLeavesAnEmptyList) {
    open();
    EXPECT_EQ(view.rows, 1);
    EXPECT_EQ(view.selection, 0);
    EXPECT_EQ(view.preview, 0);
    EXPECT_TRUE(view.cancelAdd);
    EXPECT_FALSE(view.deleteEnabled);
    EXPECT_FALSE(view.listEnabled);
    editor.cancelAddClicked();
    EXPECT_EQ(view.rows, 0);
    EXPECT_EQ(view.selection, std::nullopt);
    EXPECT_FALSE(view.deleteEnabled);
    EXPECT_FALSE(view.cancelAdd);
    editor.closing();  // nothing left: an empty line in the icon file, no panel
    EXPECT_EQ(get("bmpk.txt"), "\r\n");
    EXPECT_EQ(host.panel.height, 0);
    EXPECT_EQ(host.panel.width, 1545);
}

TEST_F(ReplyEditorTest, AddingWritesTheReplyAndItsIconAndGrowsThePanel) {
    replies(2, "12");
    open();
    editor.addClicked();
    EXPECT_EQ(view.rows, 3);
    EXPECT_EQ(view.selection, 2);
    editor.iconClicked(5);
    type(L"好的，马上来\r\n第二行");
    editor.confirmClicked();
    EXPECT_EQ(get("2.txt"), codec::encodeStoreText(L"好的，马上来\r\n第二行\r\n"));
    EXPECT_EQ(get("bmpk.txt"), "125\r\n");
    EXPECT_EQ(shown.count(), 3);
    EXPECT_EQ(shown.iconCodes, L"125");
    EXPECT_EQ(shown.rows[2].fullText, L"好的，马上来\r\n第二行");
    EXPECT_EQ(shown.rows[2].displayText, L"好的，马上来 第二行\u3000");
    EXPECT_EQ(shown.rows[2].icon, 5);
    EXPECT_EQ(host.panel.height, 630 + 180 + 60);
    EXPECT_TRUE(view.listEnabled && view.deleteEnabled && !view.cancelAdd);

    editor.addClicked();  // icon 0 untouched, then cleared
    editor.clearIconClicked();
    type(L"   ");  // only spaces is not empty
    editor.confirmClicked();
    EXPECT_EQ(get("bmpk.txt"), "125 \r\n");
    EXPECT_EQ(get("3.txt"), "   \r\n");
}

TEST_F(ReplyEditorTest, AnIconPickIsSavedOnlyWithoutATextChangeInBetween) {
    replies(4, "0123");
    open(1);
    editor.iconClicked(5);
    EXPECT_FALSE(view.strip);
    editor.confirmClicked();
    EXPECT_EQ(get("bmpk.txt"), "0523\r\n");
    EXPECT_EQ(shown.rows[1].icon, 5);

    editor.iconClicked(9);
    type(L"changed");
    editor.confirmClicked();
    EXPECT_EQ(get("1.txt"), "changed\r\n");
    EXPECT_EQ(get("bmpk.txt"), "0523\r\n");  // the pick was dropped by the typing
    EXPECT_EQ(shown.rows[1].icon, 5);

    fs::remove(dir / "bmpk.txt");  // an unchanged icon rewrites only the reply file
    type(L"again");
    editor.confirmClicked();
    EXPECT_FALSE(has("bmpk.txt"));
}

TEST_F(ReplyEditorTest, ShortIconCodesArePaddedSoNoOtherIconShifts) {
    replies(3, "1");
    open(2);
    editor.iconClicked(4);
    editor.confirmClicked();
    EXPECT_EQ(get("bmpk.txt"), "1 4\r\n");
    editor.addClicked();
    type(L"x");
    editor.confirmClicked();
    EXPECT_EQ(get("bmpk.txt"), "1 40\r\n");
}

TEST_F(ReplyEditorTest, DeletingInTheMiddleRenumbersFilesCodesAndRows) {
    replies(4, "0123");
    open(1);
    messages.answer = MessageAnswer::Yes;
    editor.deleteClicked();
    EXPECT_EQ(messages.shown.back().text, L"确认要删除此回复信息吗？");
    EXPECT_EQ(messages.shown.back().title, L"删除确认");
    EXPECT_EQ(get("1.txt"), "r2\r\n");
    EXPECT_EQ(get("2.txt"), "r3\r\n");
    EXPECT_FALSE(has("3.txt"));
    EXPECT_EQ(get("bmpk.txt"), "023\r\n");
    EXPECT_EQ(shown.count(), 3);
    EXPECT_EQ(shown.rows[1].fullText, L"r2");
    EXPECT_EQ(shown.rows[1].icon, 2);
    EXPECT_EQ(view.rows, 3);
    EXPECT_EQ(view.selection, 1);  // the reply that took its number
    EXPECT_EQ(view.textBox, L"r2");
}

TEST_F(ReplyEditorTest, DeletingTheLastShowsTheFirstAndTheOnlyLeavesNothing) {
    replies(3, "012");
    open(2);
    messages.answer = MessageAnswer::Yes;
    editor.deleteClicked();
    EXPECT_FALSE(has("2.txt"));
    EXPECT_EQ(get("bmpk.txt"), "01\r\n");
    EXPECT_EQ(view.selection, 0);
    EXPECT_EQ(view.textBox, L"r0");
    EXPECT_EQ(host.panel.height, 345 + 180 + 60);

    messages.answer = MessageAnswer::No;  // declined: nothing changes
    editor.deleteClicked();
    EXPECT_TRUE(has("1.txt"));

    messages.answer = MessageAnswer::Yes;
    editor.deleteClicked();
    editor.deleteClicked();
    EXPECT_FALSE(has("0.txt"));
    EXPECT_EQ(shown.count(), 0);
    EXPECT_FALSE(view.deleteEnabled);
    EXPECT_EQ(view.rows, 0);
    EXPECT_EQ(view.textBox, L"");
    editor.closing();
    EXPECT_EQ(get("bmpk.txt"), "\r\n");
    EXPECT_EQ(shown.iconCodes, L"");
    EXPECT_EQ(host.panel.height, 0);
}

// A delete stopped by a later file that another program holds open: nothing is lost, and once
// the file is free the replies come back in order before new ones are added after them.
TEST_F(ReplyEditorTest, AnInterruptedDeleteLosesNoReply) {
    replies(5, "01234");
    open(1);
    messages.answer = MessageAnswer::Yes;
    failing.fail(testing::FileOp::Rename, store.replyPath(3), L"另一个程序正在使用此文件。");
    editor.deleteClicked();
    EXPECT_EQ(shown.count(), 2);  // r0 and r2 until 3.txt can move
    EXPECT_EQ(get("3.txt"), "r3\r\n");
    EXPECT_EQ(get("bmpk.txt"), "0234\r\n");

    failing.failNothing();
    for (const wchar_t* text : {L"A", L"B"}) {
        editor.addClicked();
        type(text);
        editor.confirmClicked();
    }
    const char* expected[] = {"r0", "r2", "r3", "r4", "A", "B"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(get(std::to_string(i) + ".txt"), expected[i] + std::string("\r\n"));
        EXPECT_EQ(withoutLineBreaks(shown.rows[static_cast<std::size_t>(i)].fullText),
                  codec::fromUtf8(expected[i]));
    }
    EXPECT_FALSE(has("6.txt"));
    EXPECT_EQ(shown.count(), 6);
    EXPECT_EQ(get("bmpk.txt"), "023400\r\n");
    EXPECT_EQ(shown.rows[3].icon, 4);
}

// While a stopped delete keeps replies unseen, neither closing the editor nor adding may touch
// their icon codes, and nothing new goes in before them: once the file is free every reply
// comes back with its own icon. Reply i has icon i throughout.
TEST_F(ReplyEditorTest, RepliesAStoppedDeleteHidesKeepTheirIcons) {
    struct Case {
        int deleted;  // 1-based, as the list shows it; the next file is held open
        int shown;    // replies listed until that file is free
    };
    for (const Case c : {Case{1, 0}, Case{3, 2}}) {
        SCOPED_TRACE(c.deleted);
        fs::remove_all(dir);
        fs::create_directory(dir);
        failing.failNothing();
        messages.shown.clear();
        replies(5, "01234");
        std::string codes = "01234";
        codes.erase(static_cast<std::size_t>(c.deleted - 1), 1);

        open(c.deleted - 1);
        messages.answer = MessageAnswer::Yes;
        failing.fail(testing::FileOp::Rename, store.replyPath(c.deleted),
                     L"另一个程序正在使用此文件。");
        editor.deleteClicked();
        EXPECT_EQ(shown.count(), c.shown);
        editor.closing();
        EXPECT_EQ(get("bmpk.txt"), codes + "\r\n");

        open();  // opened again while the file is still held: adding is refused, and says why
        editor.addClicked();
        EXPECT_FALSE(view.cancelAdd);
        const std::wstring& why = messages.shown.back().text;
        EXPECT_NE(why.find(L"暂时不能添加"), std::wstring::npos);
        EXPECT_NE(why.find(store.replyPath(c.deleted)), std::wstring::npos);  // the held file
        editor.closing();
        EXPECT_FALSE(has(std::to_string(c.shown) + ".txt"));  // the gap stays for the hidden ones
        EXPECT_EQ(get("bmpk.txt"), codes + "\r\n");

        failing.failNothing();  // the other program let go: a fresh start shows everything
        ReplyStore fresh{failing, messages, codec::fromUtf8(dir.string() + "/")};
        const Replies after = fresh.loadReplies({});
        ASSERT_EQ(after.count(), 4);
        for (int i = 0; i < 4; ++i) {
            const int number = i < c.deleted - 1 ? i : i + 1;  // the reply's original number
            EXPECT_EQ(after.rows[static_cast<std::size_t>(i)].fullText, L"r" + std::to_wstring(number));
            EXPECT_EQ(after.rows[static_cast<std::size_t>(i)].icon, number);
        }
    }
}

// Selecting a reply always replaces the box: an empty file shows an empty box, and one that
// cannot be read cannot be saved over, so no reply's text lands in another.
TEST_F(ReplyEditorTest, NoReplyTakesAnothersText) {
    replies(3, "000");
    put("1.txt", "");
    open(0);
    failing.fail(testing::FileOp::Read, store.replyPath(2));  // held by another program now
    EXPECT_EQ(view.textBox, L"r0");
    editor.listSelected(1);
    EXPECT_EQ(view.textBox, L"");
    type(L"new one");
    editor.confirmClicked();
    EXPECT_EQ(get("1.txt"), "new one\r\n");

    editor.listSelected(2);
    EXPECT_EQ(view.textBox, L"");
    type(L"typed over");
    const auto before = messages.shown.size();
    editor.confirmClicked();
    EXPECT_EQ(get("2.txt"), "r2\r\n");
    ASSERT_EQ(messages.shown.size(), before + 1);
    EXPECT_NE(messages.shown.back().text.find(L"修改不会保存"), std::wstring::npos);
    EXPECT_EQ(shown.rows[2].fullText, L"r2");
}

// A reply too long for the box (a megabyte pasted once) is pasted from the panel as it is, but
// the editor says so instead of showing it, and nothing typed can replace it.
TEST_F(ReplyEditorTest, AReplyTooLongForTheBoxIsKeptAsItIs) {
    replies(2, "00");
    const std::string longReply = std::string(70000, 'x') + "\r\n";
    put("1.txt", longReply);
    open(1);
    EXPECT_EQ(view.textBox, L"");
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_NE(messages.shown.back().text.find(L"太长"), std::wstring::npos);
    type(L"short");
    editor.confirmClicked();
    EXPECT_EQ(get("1.txt"), longReply);
    editor.listSelected(0);
    EXPECT_EQ(view.textBox, L"r0");  // the others stay editable
}

TEST_F(ReplyEditorTest, RefusesEmptyTextsAndA42ndReply) {
    replies(41, std::string(41, '0'));
    open();
    type(L"");
    editor.confirmClicked();
    EXPECT_EQ(messages.shown.back().text, L"没有添加任何快捷回复信息！");
    EXPECT_EQ(get("0.txt"), "r0\r\n");
    editor.addClicked();
    EXPECT_EQ(messages.shown.back().text, L"最多只能保存41条快捷回复信息。");
    EXPECT_EQ(messages.shown.back().title, L"提示");
    EXPECT_FALSE(view.cancelAdd);
    EXPECT_EQ(view.rows, 41);
}

TEST_F(ReplyEditorTest, AutoSendBoxWritesTheMarkerAndAnAddInProgressIsDropped) {
    replies(1, "0");
    open();
    shown.autoSend = true;
    editor.autoSendClicked(false);
    EXPECT_TRUE(has("n.txt"));
    EXPECT_FALSE(shown.autoSend);
    editor.autoSendClicked(true);
    EXPECT_FALSE(has("n.txt"));
    EXPECT_TRUE(shown.autoSend);

    editor.addClicked();
    type(L"never confirmed");
    editor.closing();
    EXPECT_FALSE(has("1.txt"));
    EXPECT_EQ(shown.count(), 1);
    EXPECT_EQ(host.panel.height, 30 + 180 + 60);
}

TEST_F(ReplyEditorTest, TheStripHidesOnMovesAndPicksNeedAnEntry) {
    replies(1, "0");
    open();
    editor.chooseIconClicked();
    EXPECT_TRUE(view.strip);
    editor.pointerOverBackground();
    EXPECT_FALSE(view.strip);
    editor.cancelAddClicked();  // harmless outside adding state
    view.selection.reset();
    editor.listSelected(std::nullopt);
    editor.chooseIconClicked();
    editor.iconClicked(3);  // no entry: the strip stays, nothing changes
    EXPECT_TRUE(view.strip);
    EXPECT_EQ(view.preview, 0);
}

TEST_F(ReplyEditorTest, ExportWritesTheRepliesAsOneGroupWithTheirIcons) {
    replies(3, "1 9");
    put("1.txt", "第二条,\"引号\"\r\n第二行\r\n");
    chooser.path = codec::fromUtf8((dir / "mine.csv").string());
    open();
    editor.exportClicked();
    EXPECT_EQ(get("mine.csv"),
              team::writeRepliesCsv({{L"r0", 1}, {L"第二条,\"引号\"\r\n第二行", -1}, {L"r2", 9}},
                                    L"我的"));
    EXPECT_EQ(messages.shown.back().text, L"已导出 3 条回复到：" + *chooser.path);
}

// After the existing replies as far as they fit; an empty list's adding state gives way.
TEST_F(ReplyEditorTest, ImportAddsWhatFitsAfterTheExistingReplies) {
    for (const auto [existing, inFile, added] : {std::array{0, 3, 3}, {39, 5, 2}, {41, 2, 0}}) {
        SCOPED_TRACE(existing);
        fs::remove_all(dir);
        fs::create_directory(dir);
        replies(existing, std::string(static_cast<std::size_t>(existing), '7'));
        team::TeamLibrary file{{{L"售后", {}}}};
        for (int i = 0; i < inFile; ++i)
            file.groups[0].replies.push_back({L"新" + std::to_wstring(i), i});
        put("team.csv", team::writeTeamCsv(file));
        chooser.path = codec::fromUtf8((dir / "team.csv").string());
        open();
        editor.importClicked();
        const std::string last = std::to_string(existing + added - 1);  // the last one added
        if (added) {
            EXPECT_EQ(get(last + ".txt"),
                      codec::encodeStoreText(L"新" + std::to_wstring(added - 1) + L"\r\n"));
        }
        EXPECT_FALSE(has(std::to_string(existing + added) + ".txt"));
        EXPECT_EQ(get("bmpk.txt"), std::string(static_cast<std::size_t>(existing), '7') +
                                       std::string("0123456789", static_cast<std::size_t>(added)) +
                                       "\r\n");
        EXPECT_EQ(host.panel.height, panelSizeFor(existing + added).height);
        EXPECT_EQ(messages.shown.back().text, texts::importSummary(added, inFile - added, 41));
    }
}

// A refused file changes nothing; a write that fails stops the import where it is, and says so.
TEST_F(ReplyEditorTest, ImportChangesNothingItShouldNot) {
    replies(2, "01");
    put("bad.csv", "分组,回复\r\n售前,\"没有闭合\r\n");
    put("good.csv", "分组,回复\r\n售前,甲\r\n售前,乙\r\n");
    open();
    chooser.path = codec::fromUtf8((dir / "bad.csv").string());
    editor.importClicked();
    EXPECT_EQ(messages.shown.back().text, texts::importRefused(2, texts::kCsvUnclosedQuote));
    put("header.csv", "分组,回复\r\n");
    chooser.path = codec::fromUtf8((dir / "header.csv").string());
    editor.importClicked();
    EXPECT_EQ(messages.shown.back().text,
              L"无法导入这个文件（文件里没有回复），没有导入任何回复。");
    chooser.path = codec::fromUtf8((dir / "good.csv").string());
    failing.fail(testing::FileOp::Write, store.iconCodePath());  // after the first reply's file
    editor.importClicked();
    EXPECT_EQ(get("2.txt"), codec::encodeStoreText(L"甲\r\n"));
    EXPECT_FALSE(has("3.txt"));
    EXPECT_EQ(messages.shown.back().text, texts::importStopped(1, 1));
}

TEST_F(ReplyEditorTest, OpeningToAddPutsTheTextInANewReplyUnlessFull) {
    replies(2, "01");
    editor.openAdding(L"团队的回复", 5);  // a team reply keeps its icon
    EXPECT_TRUE(view.cancelAdd);
    EXPECT_EQ(view.textBox, L"团队的回复");
    EXPECT_EQ(view.preview, 5);
    editor.confirmClicked();
    EXPECT_EQ(get("bmpk.txt"), "015\r\n");
    editor.openAdding(L"没有图标的", -1);
    EXPECT_EQ(view.preview, -1);
    editor.confirmClicked();
    EXPECT_EQ(get("bmpk.txt"), "015 \r\n");
    editor.openAdding(L"再来");
    editor.cancelAddClicked();
    replies(41, std::string(41, '0'));
    editor.openAdding(L"放不下");
    EXPECT_EQ(messages.shown.back().text, L"最多只能保存41条快捷回复信息。");
    EXPECT_EQ(view.textBox, L"r40");
}

}  // namespace
}  // namespace replybar
