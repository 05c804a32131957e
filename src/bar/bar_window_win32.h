// The bar window: a borderless, topmost tool window that never takes the keyboard focus. It
// places itself, forwards the mouse and its timers to the BarController's rules, opens the
// dialogs and closes cleanly; painting, tooltips, the launcher menu and staying on top are
// the work of the objects it holds.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>

#include "bar/bar_controller.h"
#include "bar/bar_launcher_win32.h"
#include "bar/bar_painter_win32.h"
#include "team/team_library_win32.h"
#include "bar/bar_tooltips_win32.h"
#include "bar/click_watch_win32.h"
#include "bar/stay_on_top_win32.h"
#include "core/bar_state.h"
#include "settings/settings_dialog.h"
#include "search/pick_history_writer.h"
#include "reply/reply_editor.h"
#include "core/replies.h"
#include "win/hotkeys_win32.h"
#include "win/input_win32.h"
#include "win/messages_win32.h"
#include "win/registry_win32.h"
#include "win/resources_win32.h"
#include "win/shell_win32.h"

namespace replybar {

class ReplyStore;
class IFiles;

class BarWindow : private IBarWindow,
                  private ITimers,
                  private menu::IMenuPointerEvents,
                  private IBarActions,
                  private IEditorHost,
                  private settings::ISettingsHost {
public:
    BarWindow();
    ~BarWindow();
    BarWindow(const BarWindow&) = delete;
    BarWindow& operator=(const BarWindow&) = delete;

    // Start-up after the single-instance check, up to the bar on screen and painted: the
    // window, the settings string, the placement and the styles. False when the window could
    // not be made.
    bool create();
    // The rest of start-up: the Windows version, the folders, the replies, the tooltips and
    // the launcher menu's timer. COM and the common controls are ready by then.
    void finishStartUp();
    HWND hwnd() const { return hwnd_; }

    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;  // set by the window-procedure thunk

    // Entry points of the dialogs, for the bar and the settings dialog.
    // The reply editor, with `row` selected.
    void openReplyEditor(int row = 0) override;
    // The reply editor in adding state with `text` in its box and `icon` chosen.
    void openReplyEditorToAdd(const std::wstring& text, int icon) override;
    void openSettingsDialog() override;

private:
    // IBarWindow
    void setBounds(const PxRect& r) override;
    void setRegion(const std::vector<PxRect>& roundRectArgs) override;
    void invalidate() override;
    PxPoint cursorPos() override;
    PxRect workArea() override;
    // ITimers
    void enable(TimerId id, unsigned intervalMs) override;
    void disable(TimerId id) override;
    // menu::IMenuPointerEvents
    void itemSelected() override { controller_->menuItemSelected(); }
    void itemLeft() override { controller_->menuItemLeft(); }
    // IBarActions
    void runButtonAction(BarButton button) override;
    void closeLauncherMenu() override;
    void replyPicked(const std::wstring& group, const std::wstring& text) override;
    void repliesIdle() override;
    // IEditorHost
    void setPanelSize(const PanelSize& size) override;
    void exitProgram() override;
    // ISettingsHost
    void resetButtonPictures() override;
    void rebuildLauncherMenu() override;
    void saveSettings() override;
    bool applyHotkey(const keys::Hotkey& hotkey) override;
    void setSendKey(keys::SendKey key) override;
    void setTeamLibrary(const std::wstring& location) override;
    std::wstring teamLibraryStatus() override;

    // Keyboard mode and the hotkey (bar_keyboard_win32.cpp).
    void startKeyboard();
    void stopKeyboard();
    bool registerHotkey(const keys::Hotkey& hotkey);
    bool onKeyboardMessage(UINT msg, WPARAM wp, LPARAM lp);
    void onHotkey(int id, std::uint16_t virtualKey);
    bool hotkeyMayOpenThePanel() const;
    void onClickSeen();
    void syncMouseHook();
    void releaseHotkeyForDialog();
    void retakeHotkeyAfterDialog();
    void retryRegistrations();

    void onMouseDown(MouseButton button, LPARAM lp);
    void onMouseMove(LPARAM lp);
    void onMouseUp(MouseButton button, LPARAM lp);

    void readFolders();
    void placeFromSettings(const Settings& stored);
    void keepBarOnScreen();
    void onWindowPosChanged(const WINDOWPOS& pos);
    void applyStyles();
    void readOsVersion();
    void onTimer(UINT_PTR id);
    bool onSetCursor();
    void shutdown();
    void requestClose();
    void endSession();
    void showLauncherMenu();
    void keepOnTop();
    template <typename Dialog>
    bool runDialog(Dialog dialog);
    void runReplyEditor(int row, std::optional<std::wstring> newReplyText, int icon = 0);
    void teamLibraryChanged();
    void takeTeamOutcomes();
    // The pick history (bar_history_win32.cpp): read at start, written off the bar's thread.
    static constexpr UINT kPickHistoryWritten = WM_APP + 18;  // after the team library's 17
    void startHistory();
    void takeWrittenHistory();
    void finishHistory();
    std::wstring teamCacheFolder();
    void writeSettingsString();
    Settings settingsInEffect() const;

    BarState state_;
    Replies replies_;  // loaded by the store; changed only by the reply editor
    win::BarPictures pictures_;
    win::MessageBoxes messages_;
    win::RegistrySettingsStore settings_;
    std::unique_ptr<IFiles> files_;
    std::unique_ptr<ReplyStore> store_;
    win::Clipboard clipboard_{nullptr};
    win::KeySender keys_;
    win::TargetWindow target_;
    std::unique_ptr<BarController> controller_;
    win::ShellOpener shell_;
    win::ShellDesktop desktop_;
    win::SystemClock clock_;
    std::unique_ptr<BarLauncherMenu> launcherMenu_;  // from the end of start-up
    std::unique_ptr<StayOnTop> stayOnTop_;
    BarPainter painter_;
    BarTooltips tooltips_;
    bool tooltipsDue_ = false;  // the panel or the replies changed since the tips were set
    std::optional<Target> pressed_;  // the control a press went to, until its release
    bool shutDown_ = false;
    bool pointerInside_ = false;
    bool closeAfterDialog_ = false;  // a close came while a dialog was open
    bool settingsSaved_ = false;     // at the end of the session: never twice
    bool launchFolderFromSettings_ = false;
    bool dialogOpen_ = false;
    HWND userWindow_ = nullptr;  // the foreground window of another program at the last press
    win::WindowHotkeys hotkeys_;
    keys::Hotkey hotkey_ = keys::kDefaultHotkey;  // the combination that opens the panel
    bool hotkeyRegistered_ = false;
    std::wstring teamLibrary_;     // where the team's replies are read from; "" for nowhere
    int teamCheckSeconds_ = kDefaultTeamCheckSeconds;
    std::unique_ptr<TeamLibraryHolder> team_;  // from the end of start-up
    bool teamOutcomeWaiting_ = false;  // news of the team library, held while the panel is open
    std::unique_ptr<PickHistory> history_;  // from the end of start-up
    // Writes history.txt on threads of its own, which post kPickHistoryWritten after each
    // write; its destructor waits for none of them.
    std::unique_ptr<PickHistoryWriter> historyWriter_;
    bool sessionNotices_ = false;  // WM_WTSSESSION_CHANGE tells of a lock of the screen
    std::unique_ptr<ClickWatch> clickWatch_;  // clicks elsewhere, while keyboard mode lasts
};

}  // namespace replybar
