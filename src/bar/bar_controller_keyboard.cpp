// The bar's keyboard mode: the hotkey opens the reply panel with its keys, a key picks exactly
// as a click does, and whatever ends the mode gives the keys back.
#include "bar/bar_controller.h"

#include <utility>

#include "core/message_titles.h"
#include "panel/panel_texts.h"

namespace replybar {

void BarController::hotkeyPressed(std::uint16_t hotkeyKey) {
    // One pick at a time: a panel opened now would catch the first one's send key.
    if (pick_.pending()) return;
    if (panel_.keyboardMode()) {
        panel_.shownByKey();  // it is, by the time a key can be told from a repeat
        if (panel_.keysStillHeld(hotkeyKey)) return;  // the opening press, repeating
        panel_.endKeyboardMode(KeyboardModeEnd::HotkeyAgain);
        return;
    }
    if (!panel_.anyReplies()) {  // as a click on the reply button: the editor, to add one
        ports_.messages.show(kNoRepliesText, texts::kNoticeTitle, MessageKind::Info);
        ports_.actions.openReplyEditor(0);
        return;
    }
    // Without Esc or Enter (another program holds one) there is no keyboard mode, and a word why.
    if (panel_.openByKey(faceOnScreen(), hotkeyKey) == ReplyPanel::KeyOpening::KeysTaken)
        ports_.messages.show(texts::kPanelKeysTakenText, texts::kMessageTitle, MessageKind::Info);
}

// A pick by key is a click on the row: the press puts the reply on the clipboard, the release
// pastes it into the window in front at the hotkey. Until its send key is out the panel's keys
// stay the bar's and do nothing: a key typed meanwhile would join the message, and the panel's
// Enter would catch the send key.
void BarController::panelKeyPressed(int id) {
    const std::optional<PanelChoice> chosen = panel_.keyPressed(id);
    if (!chosen) return;
    panel_.keyPickStarted();
    startPick(*chosen);
    panel_.close();
    if (!pick_.pending()) panel_.keyPickOver();
}

// The pick of a choice, pasted into its window or nowhere. It is told to the history (for the
// search's order) once it is over: nothing slow between the choice and the paste.
void BarController::startPick(const PanelChoice& choice) {
    // The press ends a pick before it, which tells its own.
    pick_.press(fields_.press(choice.reply.fullText));
    releasePick(choice);
}

// The release of a pick: its fields filled, then the paste. What asks the user something (the
// box for blanks, a reply that cannot be filled) has the panel closed and its keys given back
// first. The history hears of the reply as written, never of what filled it.
void BarController::releasePick(const PanelChoice& choice) {
    const std::wstring& reply = choice.reply.fullText;
    if (fields_.needsUser(reply)) {
        panel_.keyPickOver();
        panel_.close();
    }
    const std::optional<std::wstring> text = fields_.release(reply, choice.window);
    if (!text) return pickEnded();
    pickToNote_.emplace(choice.groupKey, reply);
    pick_.release(*text, replies_.autoSend, choice.window);
}

// The pick is over: the history hears of it now, and the team's groups may change again.
void BarController::pickEnded() {
    panel_.keyPickOver();
    if (auto note = std::exchange(pickToNote_, std::nullopt))
        ports_.actions.replyPicked(note->first, note->second);
    if (!panel_.isOpen()) ports_.actions.repliesIdle();
}

// A message of the pick ends keyboard mode first: its box must get the keys it is answered
// with.
MessageAnswer BarController::PickMessages::show(const std::wstring& text, const std::wstring& title,
                                                MessageKind kind) {
    bar.panel_.keyPickOver();
    return bar.ports_.messages.show(text, title, kind);
}

}  // namespace replybar
