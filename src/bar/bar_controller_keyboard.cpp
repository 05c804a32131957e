// The bar's keyboard mode: the hotkey opens the reply panel with its keys, a key picks exactly
// as a click does, and whatever ends the mode gives the keys back.
#include "bar/bar_controller.h"

#include <utility>

#include "core/message_titles.h"
#include "reply/reply_texts.h"

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
    // The keys first, then the panel: a key typed the moment the panel shows must find it
    // listening. The window in front now is where a pick goes. A panel the mouse opened is
    // taken over.
    if (!panelOpen_) showAGroupWithReplies();
    const PxPoint pointer = ports_.window.cursorPos();
    keyboard_.prepare(rowCount(), pointer.x, pointer.y, hotkeyKey);
    keyboard_.setGroupKeys(hasTabs());
    keyboardForeground_ = ports_.target.foreground();
    if (!keyboard_.takeKeys()) {
        if (panelOpen_) restoreBar();
        ports_.messages.show(kPanelKeysTakenText, texts::kMessageTitle, MessageKind::Info);
        return;
    }
    keysNotice_ = refusedKeysNotice();
    keyboardLastKeyAt_ = ports_.clock.milliseconds();
    if (!panelOpen_)
        openReplyPanel();
    else
        relayoutPanel();  // the strip may name keys now
    bandRow_ = keyboard_.highlight().value_or(-1);
    panelCloseCountdown_ = 2;
    ports_.window.invalidate();
}

// Which keys another program holds, in the panel's own words; "" when the bar has them all.
std::wstring BarController::refusedKeysNotice() const {
    std::vector<std::wstring> names;
    for (const std::uint16_t id : keyboard_.refusedKeys()) names.push_back(panelKeyName(id));
    if (names.empty()) return L"";
    return texts::panelKeysHeldElsewhere(names, !keyboard_.searchOffered());
}

// Once the panel is on screen, the keys still down from before it are noted: some fifty
// questions to the system, after the picture.
void BarController::keyboardPanelShown() {
    if (!keyboard_.active() || !keyboard_.keysTaken()) return;
    if (keyboard_.noteHeldKeys()) ports_.timers.enable(TimerId::HeldKeyWatch, kHeldKeyWatchMs);
}

void BarController::panelKeyPressed(int id) {
    // The user has gone to another window: the key is meant for it, not for a pick.
    if (keyboard_.active() && ports_.target.foreground() != keyboardForeground_) {
        endKeyboardMode(KeyboardModeEnd::ForegroundChanged);
        const int key = id - hotkeyId(HotkeyId::PanelKeys);
        if (key > 0 && key < 0x200) ports_.keys.tap(virtualKeyOf(static_cast<std::uint16_t>(key)));
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
        const Reply reply = *shown;
        startPick(reply, groupKey(shownPlace(row).group), keyboardForeground_);
    }
    if (panelOpen_) restoreBar();
    if (!pick_.pending()) keyboard_.end(KeyboardModeEnd::Picked);
}

// The send key must reach the chat: the panel's Enter is given back first. The other keys stay
// the bar's until the pick is over, just after: given back before the send key, a digit typed
// during the pick could reach the chat in the moment between and join the message.
void BarController::beforeSendKey() { keyboard_.giveBack(keys::kReturn); }

// The pick is over: the history hears of it now, and the team's groups may change again.
void BarController::pickEnded() {
    keyboard_.end(KeyboardModeEnd::Picked);
    if (auto note = std::exchange(pickToNote_, std::nullopt))
        ports_.actions.replyPicked(note->first, note->second);
    if (!panelOpen_) ports_.actions.repliesIdle();
}

// A message of the pick ends keyboard mode first: its box must get the keys it is answered
// with.
MessageAnswer BarController::PickMessages::show(const std::wstring& text, const std::wstring& title,
                                                MessageKind kind) {
    bar.keyboard_.end(KeyboardModeEnd::Picked);
    return bar.ports_.messages.show(text, title, kind);
}

}  // namespace replybar
