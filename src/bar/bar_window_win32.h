// The bar window: a borderless, topmost tool window that never takes the keyboard focus. It
// places itself, forwards the mouse, keys and timers to the bar face's rules (BarController) and
// closes cleanly; what it does besides is the work of the parts it holds: the surface the rules
// move and paint, the painter and tooltips, the launcher menu, staying on top, the keyboard, the
// dialogs, the team library, the pick history and the settings in use.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>

#include "bar/bar_actions_win32.h"
#include "bar/bar_controller.h"
#include "bar/bar_dialogs_win32.h"
#include "bar/bar_history_win32.h"
#include "bar/bar_keyboard_win32.h"
#include "bar/bar_launcher_win32.h"
#include "bar/bar_painter_win32.h"
#include "bar/bar_surface_win32.h"
#include "bar/bar_tooltips_win32.h"
#include "bar/stay_on_top_win32.h"
#include "core/bar_state.h"
#include "core/replies.h"
#include "fill/blank_box_win32.h"
#include "settings/settings_in_use.h"
#include "team/team_library_win32.h"
#include "win/hotkeys_win32.h"
#include "win/input_win32.h"
#include "win/messages_win32.h"
#include "win/registry_win32.h"
#include "win/resources_win32.h"
#include "win/shell_win32.h"
#include "win/ui_queue_win32.h"

namespace replybar {

class ReplyStore;
class IFiles;

class BarWindow {
public:
    BarWindow();
    ~BarWindow();
    BarWindow(const BarWindow&) = delete;
    BarWindow& operator=(const BarWindow&) = delete;

    // Start-up after the single-instance check, up to the bar on screen and painted: the
    // window, the settings, the placement and the styles. False when the window could not be
    // made.
    bool create();
    // The rest of start-up: the Windows version, the folders, the replies, the team library,
    // the history, the tooltips, the launcher menu's timer and the keyboard. COM and the common
    // controls are ready by then.
    void finishStartUp();
    HWND hwnd() const { return hwnd_; }
    // The dialogs' entry points, as the bar's buttons reach them.
    BarDialogs& dialogs() { return *dialogs_; }

    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;  // set by the window-procedure thunk

private:
    // The launcher menu is built this long after start-up, and again after a new folder.
    static constexpr unsigned kBuildLauncherMenuDelayMs = 66;
    void makeParts();  // bar_window_parts_win32.cpp, with how the parts reach each other
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
    void repainted();
    void runButtonAction(BarButton button);
    void showLauncherMenu();
    void keepOnTop();
    bool mayOpenPanel() const;
    void followSettings(const Settings& now, unsigned changed);
    void teamLibraryChanged();
    void takeTeamOutcomes();
    void repliesIdle();
    std::wstring teamCacheFolder();
    void writeSettingsString();
    // Closing (bar_window_closing_win32.cpp).
    void shutdown();
    void requestClose();
    void endSession();

    // Members in the order of their making; each is destroyed before those above it, so that
    // nothing goes while a part that uses it may still call on it.
    // What the system told at start, the replies, the pictures and the plain ports.
    BarState state_;
    Replies replies_;  // loaded by the store; changed only by the reply editor
    win::BarPictures pictures_;
    win::MessageBoxes messages_;
    win::RegistrySettingsStore registry_;
    settings::SettingsInUse settings_{{registry_, registry_, registry_, messages_}};
    std::unique_ptr<IFiles> files_;        // from the end of start-up
    std::unique_ptr<ReplyStore> store_;    // from the end of start-up
    BarSurface surface_;
    win::Clipboard clipboard_{nullptr};
    win::KeySender keys_;
    win::TargetWindow target_;
    win::SystemClock clock_;
    win::WindowHotkeys hotkeys_;  // the controller's keyboard mode gives its keys back to it
    win::ShellOpener shell_;
    win::ShellDesktop desktop_;
    // What the controller tells and reads: it goes before them.
    BarHistory history_;  // its writer's threads finish by themselves
    std::unique_ptr<TeamLibraryHolder> team_;  // ends its watch's telling; waits for no step
    bool teamOutcomeWaiting_ = false;  // news of the team library, held while the panel is open
    BarActions actions_;
    std::unique_ptr<fill::BlankBox> blanks_;  // the box the controller asks a reply's blanks in
    std::unique_ptr<BarController> controller_;
    BarPainter painter_;
    BarTooltips tooltips_;
    bool tooltipsDue_ = false;  // the panel or the replies changed since the tips were set
    std::unique_ptr<BarLauncherMenu> launcherMenu_;  // its build's workers drop late results
    std::unique_ptr<StayOnTop> stayOnTop_;
    std::unique_ptr<BarKeyboard> keyboard_;  // ends the click watch's thread
    std::unique_ptr<BarDialogs> dialogs_;
    settings::SettingsListener settingsFollower_{[this](const Settings& s, unsigned c) {
        followSettings(s, c);
    }};
    std::optional<Target> pressed_;  // the control a press went to, until its release
    bool shutDown_ = false;
    bool pointerInside_ = false;
    bool settingsSaved_ = false;  // at the end of the session: never twice
    // The one way onto the bar's thread; made first, destroyed first: work still queued is
    // dropped, and a worker that posts after that only frees what it holds.
    std::unique_ptr<win::UiQueue> queue_;
};

}  // namespace replybar
