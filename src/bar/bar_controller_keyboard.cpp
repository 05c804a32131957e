// The bar's keyboard mode: the hotkey opens the reply panel with its keys, a key picks exactly
// as a click does, and whatever ends the mode gives the keys back.
#include "bar/bar_controller.h"

namespace replybar {

namespace {
constexpr wchar_t kPanelKeysTakenText[] =
    L"Esc 或 Enter 键正被另一个程序用作快捷键，快捷回复条无法用键盘选择回复。\n"
    L"请用鼠标点选回复。";
}  // namespace

void BarController::hotkeyPressed() {
    if (keyboard_.active()) {
        keyboard_.end(KeyboardModeEnd::HotkeyAgain);
        restoreBar();
        return;
    }
    if (state_.replyCount == 0) {  // as a click on the reply button: the editor, to add one
        ports_.messages.show(kNoRepliesText, L"提示", MessageKind::Info);
        ports_.actions.openReplyEditor();
        return;
    }
    // The keys first, so that the panel is drawn once, with its labels; a panel the mouse
    // opened is taken over by them.
    const PxPoint p = ports_.window.cursorPos();
    if (!keyboard_.open(rowCount(), p.x, p.y)) {
        if (panelOpen_) restoreBar();
        ports_.messages.show(kPanelKeysTakenText, L"快捷回复条", MessageKind::Info);
        return;
    }
    if (!panelOpen_) openReplyPanel();
    bandRow_ = *keyboard_.highlight();
    state_.panelCloseCountdown = 2;
    ports_.window.invalidate();
}

void BarController::panelKeyPressed(int id) {
    const KeyboardPanel::Result r = keyboard_.keyPressed(id);
    switch (r.kind) {
        case KeyboardPanel::Result::Nothing: return;
        case KeyboardPanel::Result::Moved:
            bandRow_ = keyboard_.highlight().value_or(-1);
            ports_.window.invalidate();
            return;
        case KeyboardPanel::Result::Pick: pickRow(r.row); return;
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
// pastes it. The panel's keys are given back once the paste is out, the panel closed after.
void BarController::pickRow(int row) {
    if (row >= 0 && row < rowCount()) {
        pick_.press(replies_[row].fullText);
        pick_.release(replies_[row].fullText, state_.autoSend);
    }
    keyboard_.end(KeyboardModeEnd::Picked);
    if (panelOpen_) restoreBar();
}

// A message of the pick ends keyboard mode first: its box must get the keys it is answered
// with.
MessageAnswer BarController::PickMessages::show(const std::wstring& text, const std::wstring& title,
                                                MessageKind kind) {
    bar.keyboard_.end(KeyboardModeEnd::Picked);
    return bar.ports_.messages.show(text, title, kind);
}

}  // namespace replybar
