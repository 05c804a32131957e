// The bar's keyboard mode: the hotkey opens the reply panel with its keys, a key picks exactly
// as a click does, and whatever ends the mode gives the keys back.
#include "bar/bar_controller.h"

#include "core/message_titles.h"

namespace replybar {

namespace {
// How often keys still down from before the mode are looked at until they are let go.
constexpr unsigned kHeldKeyWatchMs = 30;
constexpr wchar_t kPanelKeysTakenText[] =
    L"Esc 或 Enter 键正被另一个程序用作快捷键，快捷回复条无法用键盘选择回复。\n"
    L"请用鼠标点选回复。";
}  // namespace

void BarController::hotkeyPressed(std::uint16_t hotkeyKey) {
    // One pick at a time: a panel opened now would catch the first one's send key.
    if (pick_.pending()) return;
    if (keyboard_.active()) {
        keyboardPanelShown();  // it is, by the time a key can be told from a repeat
        if (keyboard_.stillHeld(hotkeyKey)) return;  // the opening press, repeating
        keyboard_.end(KeyboardModeEnd::HotkeyAgain);
        restoreBar();
        return;
    }
    if (!anyReplies()) {  // as a click on the reply button: the editor, to add one
        ports_.messages.show(kNoRepliesText, texts::kNoticeTitle, MessageKind::Info);
        ports_.actions.openReplyEditor(0);
        return;
    }
    // The panel first, with every key's label; the keys, the pointer and the window in front
    // once it is on screen (keyboardPanelShown). A panel the mouse opened is taken over.
    if (!panelOpen_) showAGroupWithReplies();
    keyboard_.prepare(rowCount(), 0, 0, hotkeyKey);
    keyboard_.setGroupKeys(hasTabs());
    keyboardLastKeyAt_ = ports_.clock.milliseconds();
    if (!panelOpen_) openReplyPanel();
    bandRow_ = keyboard_.highlight().value_or(-1);
    panelCloseCountdown_ = 2;
    ports_.window.invalidate();
}

// Keys another program holds: without Esc or Enter there is no keyboard mode, and a word why;
// a row key held elsewhere only loses its label.
void BarController::keyboardPanelShown() {
    if (!keyboard_.active()) return;
    if (!keyboard_.keysTaken()) {
        const PxPoint p = ports_.window.cursorPos();
        keyboard_.notePointer(p.x, p.y);
        keyboardForeground_ = ports_.target.foreground();
        if (!keyboard_.takeKeys()) {
            if (panelOpen_) restoreBar();
            ports_.messages.show(kPanelKeysTakenText, texts::kMessageTitle, MessageKind::Info);
            return;
        }
        ports_.window.invalidate();
    }
    if (keyboard_.noteHeldKeys()) ports_.timers.enable(TimerId::HeldKeyWatch, kHeldKeyWatchMs);
}

void BarController::panelKeyPressed(int id) {
    // The user has gone to another window: the key is meant for it, not for a pick.
    if (keyboard_.active() && ports_.target.foreground() != keyboardForeground_) {
        endKeyboardMode(KeyboardModeEnd::ForegroundChanged);
        const int vk = id - hotkeyId(HotkeyId::PanelKeys);
        if (vk > 0 && vk < 0x100) ports_.keys.tap(static_cast<std::uint16_t>(vk));
        return;
    }
    keyboardPanelShown();
    const KeyboardPanel::Result r = keyboard_.keyPressed(id);
    if (r.kind != KeyboardPanel::Result::Nothing)
        keyboardLastKeyAt_ = ports_.clock.milliseconds();
    switch (r.kind) {
        case KeyboardPanel::Result::Nothing: return;
        case KeyboardPanel::Result::Moved:
            bandRow_ = keyboard_.highlight().value_or(-1);
            ports_.window.invalidate();
            return;
        case KeyboardPanel::Result::Pick: pickRow(r.row); return;
        case KeyboardPanel::Result::Group:
            if (hasTabs() && !searching()) showGroup(group_ + r.row);
            return;
        case KeyboardPanel::Result::Page:
            if (!searching()) showPage(page_ + r.row);
            return;
        case KeyboardPanel::Result::Letter:
            if (query_.size() < kMaxSearchLetters) {  // longer finds nothing
                query_.push_back(static_cast<wchar_t>(r.row));
                searchChanged();
            }
            return;
        case KeyboardPanel::Result::Backspace:
            if (!searching()) return;
            query_.pop_back();
            searchChanged();
            return;
        case KeyboardPanel::Result::ClearSearch:
            query_.clear();
            searchChanged();
            return;
        case KeyboardPanel::Result::Close: restoreBar(); return;
    }
}

void BarController::endKeyboardMode(KeyboardModeEnd why) {
    if (!keyboard_.active()) return;
    keyboard_.end(why);
    if (why == KeyboardModeEnd::MouseTookOver) {
        ports_.window.invalidate();
        return;
    }
    if (panelOpen_) restoreBar();
}

// A pick by key is a click on the row: the press puts the reply on the clipboard, the release
// pastes it. Until its send key is out the panel's keys stay the bar's and do nothing: a key
// typed meanwhile would join the message, and the panel's Enter would catch the send key.
void BarController::pickRow(int row) {
    keyboard_.startPick();
    if (const Reply* shown = shownReply(row)) {
        const std::wstring text = shown->fullText;
        notePick(row);
        pick_.press(text);
        pick_.release(text, replies_.autoSend);
    }
    if (panelOpen_) restoreBar();
    if (!pick_.pending()) keyboard_.end(KeyboardModeEnd::Picked);
}

// The send key must reach the chat: the panel's keys (Enter among them) are given back first.
void BarController::beforeSendKey() { keyboard_.end(KeyboardModeEnd::Picked); }

void BarController::pickEnded() { keyboard_.end(KeyboardModeEnd::Picked); }

// A message of the pick ends keyboard mode first: its box must get the keys it is answered
// with.
MessageAnswer BarController::PickMessages::show(const std::wstring& text, const std::wstring& title,
                                                MessageKind kind) {
    bar.keyboard_.end(KeyboardModeEnd::Picked);
    return bar.ports_.messages.show(text, title, kind);
}

}  // namespace replybar
