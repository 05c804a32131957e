// The bar's two dialogs, one at a time, over a closed panel: the reply editor and the settings
// dialog. Each opens on what the bar goes by (the replies, the settings in use) and hands back
// only through the reply store and the settings' owner; a close of the bar that comes while one
// is open ends it first.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "bar/bar_controller.h"
#include "bar/bar_keyboard_win32.h"
#include "core/bar_state.h"
#include "core/replies.h"
#include "reply/reply_editor.h"
#include "settings/settings_dialog.h"
#include "settings/settings_in_use.h"
#include "win/mapped_drives_win32.h"
#include "win/resources_win32.h"

namespace replybar {

class BarDialogs : private IEditorHost, private settings::ISettingsHost {
public:
    struct Context {
        HWND bar;
        const BarState& state;
        Replies& replies;  // changed by the editor, after each write
        const win::BarPictures& pictures;
        BarController& controller;
        BarKeyboard& keyboard;
        settings::SettingsInUse& settings;
        std::function<IFiles&()> files;               // from the end of start-up
        std::function<std::wstring()> teamStatus;     // the team library's status line
        std::function<void()> repliesChanged;         // the panel is drawn anew
        std::function<void()> closeBar;               // "退出本程序", or a close held back
    };
    explicit BarDialogs(Context context) : context_(std::move(context)) {}

    // The reply editor, with `row` selected; in adding state with `text` and `icon` when given.
    void openReplyEditor(int row, std::optional<std::wstring> newReplyText = std::nullopt,
                         int icon = 0);
    // `atAgentName`: a pick asked for the agent's name; its field has the keyboard.
    void openSettingsDialog(bool atAgentName = false);
    bool open() const { return open_; }
    // Where the user was typing at the last press on the bar: it gets the foreground back when
    // a dialog closes.
    void noteUserWindow(HWND window) { userWindow_ = window; }
    // A close of the bar asked for while a dialog is open: the dialog ends, discarding what it
    // had not taken over, and the bar closes once its loop has unwound.
    void closeWhenDone();

private:
    template <typename Dialog>
    bool run(Dialog dialog);
    // IEditorHost
    void setPanelSize(const PanelSize& size) override;
    void exitProgram() override { context_.closeBar(); }
    // ISettingsHost
    const Settings& settingsInUse() override { return context_.settings.current(); }
    std::wstring launchFolderInUse() override { return context_.settings.launchFolder(); }
    bool hotkeyAvailable(const keys::Hotkey& hotkey) override;
    void takeSettings(const Settings& chosen) override;
    void resetButtonPictures() override;
    std::wstring teamLibraryStatus() override { return context_.teamStatus(); }
    std::optional<std::wstring> shareFormOf(const std::wstring& path) override {
        return win::shareFormOf(path);
    }
    std::optional<std::wstring> driveFormOf(const std::wstring& sharePath) override {
        return win::driveFormOf(sharePath);
    }

    Context context_;
    bool open_ = false;
    bool closeAfter_ = false;  // a close came while a dialog was open
    HWND userWindow_ = nullptr;
};

}  // namespace replybar
