// sharedMenu: the process's one popup menu, its item table and appearance, and the hook on the
// hidden window that owns the menu. WM_MEASUREITEM and WM_DRAWITEM are answered from the model,
// WM_COMMAND opens the chosen launcher entry, WM_MENUSELECT and an item drawn unselected are told
// to the host, whose auto-close follows the pointer.
#pragma once

#include <windows.h>

#include <functional>

#include "core/ports.h"
#include "controls/menu_draw.h"
#include "controls/menu_model.h"

namespace replybar::launch {
struct LaunchEntries;  // launch/launch_map.h
}

namespace replybar::menu {

// What the menu tells its host as the pointer moves over it.
class IMenuPointerEvents {
public:
    virtual void itemSelected() = 0;  // WM_MENUSELECT: the pointer or a key selected an item
    virtual void itemLeft() = 0;      // an item was drawn unselected: the pointer left it

protected:
    ~IMenuPointerEvents() = default;
};

// What the menu needs of the bar that owns it. The pointers must outlive the menu object.
struct MenuHost {
    launch::LaunchEntries* entries = nullptr;  // what the items open
    IMenuPointerEvents* pointerEvents = nullptr;
    IShell* shell = nullptr;    // opens the chosen entry, owned by the bar
    std::function<void()> unloadAll;  // an item with the alias "exit" ends the program
    // The 20 × 1024 left bar of preset 4, asked for when that preset is first applied.
    std::function<PicturePtr()> leftBarPicture;
};

class OwnerDrawnMenu;

struct SharedMenu {
    HMENU menuHandle = nullptr;
    WNDPROC previousWndProc = nullptr;
    MenuModel model;
    const OwnerDrawnMenu* owner = nullptr;    // the object whose CreateMenu installed all this
    const MenuHost* host = nullptr;  // that object's bar
    HMENU tracked = nullptr;         // the menu inside TrackPopupMenu, if any
    bool trackedTornDown = false;    // its owner went while it was shown
    int widestItem = 0;              // set when the menu opens beside; 0: half the monitor
    bool openedBeside = false;       // the menu being tracked opened beside, not at its point
};
SharedMenu& sharedMenu();

// The hidden window that owns the menu, made on first use and never shown.
HWND menuOwnerWindow();

LRESULT CALLBACK MenuWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Removes the hook and destroys the popup menu; the item table is left to the caller.
void teardownMenuPlatform(SharedMenu& m);

// The launch of a chosen item (also the "exit" alias) and the pointer reaching an item.
void RunMenuCommand(std::int64_t itemId);
void OnMenuItemSelect();

// Runs the drawing steps on `dc`; every pen, brush and memory DC lives for one step only.
void executeDrawPlan(HDC dc, const DrawPlan& plan);

}  // namespace replybar::menu
