#include "bar/bar_dialogs_win32.h"

#include <array>

#include "reply/reply_editor_window_win32.h"
#include "settings/settings_window_win32.h"
#include "win/modal_win32.h"

namespace replybar {

// One dialog at a time, over a closed panel. False when the bar must not go on: a close came
// while the dialog was open and has now been carried out.
template <typename Dialog>
bool BarDialogs::run(Dialog dialog) {
    if (open_) return false;
    open_ = true;
    context_.controller.restoreBar();
    dialog();
    open_ = false;
    if (closeAfter_) {
        context_.closeBar();
        return false;
    }
    ::InvalidateRect(context_.bar, nullptr, FALSE);
    return true;
}

void BarDialogs::closeWhenDone() {
    closeAfter_ = true;
    win::endModalLoops();
}

void BarDialogs::openReplyEditor(int row, std::optional<std::wstring> newReplyText, int icon) {
    std::array<HICON, 10> icons{};
    for (int i = 0; i < 10; ++i) icons[i] = context_.pictures.classIcons[i].get();
    ReplyEditorWindow::Result result = ReplyEditorWindow::Result::Closed;
    if (!run([&] {
            result = ReplyEditorWindow::showModal(
                {context_.bar, context_.state.dataDir, context_.replies, context_.files(), *this,
                 icons, userWindow_, context_.controller.sendKey(), row, std::move(newReplyText),
                 icon, context_.settings.current().agentName});
        }))
        return;
    context_.repliesChanged();  // a reply's text or icon may have changed in the editor
    if (result == ReplyEditorWindow::Result::ExitProgram) context_.closeBar();
}

void BarDialogs::setPanelSize(const PanelSize& size) {
    context_.controller.panel().setOwnSize(size);
    context_.repliesChanged();
}

// The dialog's hotkey field must receive the combination the bar holds: it is let go while the
// dialog is open and taken (or the new one) again afterwards.
void BarDialogs::openSettingsDialog(bool atAgentName) {
    settings::SettingsOutcome outcome = settings::SettingsOutcome::Discarded;
    context_.keyboard.releaseForDialog();
    const bool goOn = run([&] {
        outcome = settings::SettingsWindow::showModal({context_.bar, context_.state, *this,
                                                       userWindow_, atAgentName});
    });
    context_.keyboard.retakeAfterDialog();
    if (!goOn) return;
    if (outcome == settings::SettingsOutcome::ExitProgram) context_.closeBar();
    if (outcome == settings::SettingsOutcome::OpenReplyEditor) openReplyEditor(0);
}

bool BarDialogs::hotkeyAvailable(const keys::Hotkey& hotkey) {
    return context_.keyboard.available(hotkey);
}

// The face's position goes with the rest: the settings string holds both.
void BarDialogs::takeSettings(const Settings& chosen) {
    RECT r{};
    ::GetWindowRect(context_.bar, &r);
    const PxPoint face = context_.controller.faceOrigin();
    const long long left = static_cast<long long>(r.left + face.x) * kTwipsPerPixel;
    const long long top = static_cast<long long>(r.top + face.y) * kTwipsPerPixel;
    context_.settings.setPosition({static_cast<double>(left), static_cast<double>(top)});
    context_.settings.take(chosen);
}

void BarDialogs::resetButtonPictures() {
    context_.controller.resetPictures({BarButton::Desktop, BarButton::Home, BarButton::Launch});
}

}  // namespace replybar
