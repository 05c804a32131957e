// The launcher button's menu as the bar holds it: built off the bar's thread from the launch
// folder, made into the owner-drawn menu on the bar's thread, shown at the button, and replaced
// only while it is closed.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>

#include "bar/bar_controller.h"
#include "controls/owner_drawn_menu_win32.h"
#include "controls/launch_map.h"
#include "launch/launcher_build_win32.h"
#include "win/messages_win32.h"
#include "win/shell_win32.h"

namespace replybar {

class BarLauncherMenu {
public:
    struct Context {
        HWND bar;
        win::UiQueue& queue;    // runs the build's results on the bar's thread
        std::function<std::wstring()> folder;  // the launch folder in use, to list
        menu::IMenuPointerEvents& menuEvents;  // the auto-close hears the menu through these
        win::MessageBoxes& messages;
        std::function<void()> exitProgram;  // the menu's "exit" item
        // Every 100 ms while the menu is open: where is the pointer?
        std::function<void(launch::MenuPointer where)> watchPointer;
    };
    explicit BarLauncherMenu(Context context);
    ~BarLauncherMenu();
    BarLauncherMenu(const BarLauncherMenu&) = delete;
    BarLauncherMenu& operator=(const BarLauncherMenu&) = delete;

    // Lists the launch folder on a worker thread; the menu follows when the content arrives.
    // The first build waits until the launcher is first needed: the pointer on the bar.
    void build();
    bool started() const { return build_ != nullptr; }
    // Drops the menu down at the screen point, or beside `face` when it does not fit above or
    // below the point: nothing before the first build, and nothing while the menu of a newly set
    // folder is being built. Returns when the menu has closed. Screen pixels.
    void show(int x, int y, const RECT& face, const RECT& launchButton);
    bool showing() const { return showing_; }
    // The bar's timers that belong to the menu; true when `id` was one of them.
    bool onTimer(UINT_PTR id);
    // The bar is closing: content still on its way is dropped, the menu destroyed.
    void close();

private:
    void onContent(launch::LauncherContent content);
    void watchPointer();

    Context context_;
    // The left bar of menu preset 4, made when that preset is first applied.
    menu::PicturePtr leftBar();
    menu::PicturePtr leftBarPicture_;
    std::unique_ptr<menu::OwnerDrawnMenu> menu_;  // none until the first build ends
    launch::LaunchEntries entries_;  // what the menu's items open: written by each fill
    std::unique_ptr<launch::BackgroundLauncherBuild> build_;
    std::optional<launch::LauncherContent> waiting_;  // came while the menu was open
    bool showing_ = false;
    RECT launchButton_{};  // while showing
    bool closed_ = false;
    struct PendingShow {
        int x, y;
        RECT face, launchButton;
        DWORD at;  // GetTickCount of the click
    };
    std::optional<PendingShow> pendingShow_;
    win::ShellOpener shell_;  // opens launcher entries; says so when the shell refuses
};

}  // namespace replybar
