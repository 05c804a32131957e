#include "fill/field_pick.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "fill/fill_texts.h"

namespace replybar::fill {
namespace {

using testing::FakeBox, testing::FakeClipboard, testing::FakeClock, testing::FakeMessages;

class FieldPickTest : public ::testing::Test {
protected:
    // A pick as the bar makes it: the press, the bar's own write of what it returned, the
    // release. What went out, or "<nothing>".
    std::wstring pick(const std::wstring& reply) {
        const std::wstring atPress = fields.press(reply);
        if (!atPress.empty()) clipboard.setText(atPress);
        const std::optional<std::wstring> out = fields.release(reply, 42);
        if (out) clipboard.setText(*out);
        return out.value_or(L"<nothing>");
    }
    FakeClipboard clipboard;
    FakeClock clock;  // Wednesday 9 December 2026, 14:05
    FakeMessages messages;
    FakeBox box;
    std::wstring agent = L"小王";
    int nameOffered = 0;
    FieldPick fields{
        {clipboard, clock, messages, box, [this] { return agent; }, [this] { ++nameOffered; }}};
};

// {剪贴板} is what the user copied, still after a pick put the bar's own reply there; a clip
// the bar wrote over unread is not guessed at. The preview fills the same way.
TEST_F(FieldPickTest, TheClipboardFieldIsWhatTheUserCopied) {
    clipboard.copy(L" DD001\r\n");
    EXPECT_EQ(pick(L"订单{剪贴板}"), L"订单DD001");
    EXPECT_EQ(fields.preview(L"{剪贴板}，{时间}"), L"DD001，14:05");
    clipboard.copy(L"DD003");
    EXPECT_EQ(pick(L"{订单} 好的"), L"{订单} 好的");
    EXPECT_EQ(fields.preview(L"{剪贴板}{填写:姓名}"), L"〔剪贴板里没有文字〕〔姓名〕");
}

// Whatever keeps a reply from being filled: nothing goes out, the clipboard is not written at
// the press, and the user hears why once, before any blank is asked; a missing name offers the
// settings.
TEST_F(FieldPickTest, AReplyThatCannotBeFilledSendsNothing) {
    const struct {
        const wchar_t* reply;
        std::optional<std::wstring> clip;
        const wchar_t* agent;
        MessageAnswer answer;
        const wchar_t* told;
        int offered;
    } cases[] = {
        {L"订单{剪贴板}", std::nullopt, L"小王", MessageAnswer::Ok, texts::kNoClipboardText, 0},
        {L"订单{剪贴板}", L" \r\n\u3000", L"小王", MessageAnswer::Ok, texts::kNoClipboardText, 0},
        {L"我是{客服}", L"x", L"", MessageAnswer::Yes, texts::kNoAgentName, 1},
        {L"我是{客服}", L"x", L" ", MessageAnswer::No, texts::kNoAgentName, 0},
        {L"{填写:姓名}，订单{剪贴板}", std::nullopt, L"", MessageAnswer::Ok,
         texts::kNoClipboardText, 0},
    };
    for (const auto& c : cases) {
        messages.shown.clear(), box.asked.clear(), clipboard.texts.clear(), nameOffered = 0;
        clipboard.copy(c.clip);
        agent = c.agent;
        messages.answer = c.answer;
        EXPECT_EQ(pick(c.reply), L"<nothing>") << c.reply;
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, c.told);
        EXPECT_EQ(nameOffered, c.offered);
        EXPECT_TRUE(box.asked.empty() && clipboard.texts.empty());
    }
}

}  // namespace
}  // namespace replybar::fill
