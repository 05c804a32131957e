#include "controls/owner_drawn_menu_win32.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace replybar::menu {
namespace {

class Win32SystemColors : public ISystemColors {
public:
    std::uint32_t color(int index) const override { return ::GetSysColor(index); }
};

// The mask the system item is inserted and queried with: state, id, submenu, data, string, type.
constexpr UINT kItemInfoMask =
    MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING | MIIM_FTYPE;

// Separator and check nature stay in the record; to the system every item is owner-drawn.
void makeOwnerDrawn(HMENU menu, UINT id) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_TYPE | MIIM_DATA;
    if (!::GetMenuItemInfoW(menu, id, FALSE, &info)) return;
    info.fType = MFT_OWNERDRAW;
    info.dwTypeData = nullptr;
    info.cch = 0;
    ::SetMenuItemInfoW(menu, id, FALSE, &info);
}

// Columns for a menu taller than the work area of the monitor at (x, y): the first item of each
// new column gets MFT_MENUBARBREAK, every other item loses it, and no item is wider than its
// share of the work area's width, so the whole menu is on screen and every item can be clicked.
void arrangeColumns(SharedMenu& m, int x, int y) {
    const int count = ::GetMenuItemCount(m.menuHandle);
    if (count <= 0) return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoW(::MonitorFromPoint({x, y}, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const RECT& work = monitor.rcWork;
    // The menu window's frame, top and bottom, with room for a themed border.
    const int frame = 2 * (::GetSystemMetrics(SM_CYFIXEDFRAME) + ::GetSystemMetrics(SM_CYEDGE));
    const int cyMenu = ::GetSystemMetrics(SM_CYMENU);
    std::vector<int> heights;
    for (int p = 0; p < count; ++p) {
        const MenuItem* r = m.model.record(::GetMenuItemID(m.menuHandle, p));
        heights.push_back(measureItemHeight(r ? r->itemType : kTypeString, cyMenu));
    }
    const std::vector<std::size_t> starts = menuColumnStarts(heights, work.bottom - work.top - frame);
    const int columns = static_cast<int>(starts.size()) + 1;
    const int width = work.right - work.left;
    // Each column adds the system's margins around its items (about 18 px, seen at 96 DPI) and a
    // bar between columns, and the menu its frame: 32 px a column keeps the whole menu on screen.
    m.widestItem = columns == 1 ? 0 : std::max(width / columns - 32, cyMenu);
    std::size_t next = 0;
    for (int p = 0; p < count; ++p) {
        const bool breaks = next < starts.size() && starts[next] == static_cast<std::size_t>(p);
        if (breaks) ++next;
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        if (!::GetMenuItemInfoW(m.menuHandle, static_cast<UINT>(p), TRUE, &info)) continue;
        const UINT type = (info.fType & ~(MFT_MENUBARBREAK | MFT_MENUBREAK)) |
                          (breaks ? MFT_MENUBARBREAK : 0);
        if (type == info.fType) continue;
        info.fType = type;
        // Changing an item also makes the system measure the items again, with the new widths.
        ::SetMenuItemInfoW(m.menuHandle, static_cast<UINT>(p), TRUE, &info);
    }
}

}  // namespace

OwnerDrawnMenu::OwnerDrawnMenu(MenuHost host) : host_(std::move(host)) {}

OwnerDrawnMenu::~OwnerDrawnMenu() {
    SharedMenu& m = sharedMenu();
    if (m.owner != this) return;  // already torn down, or a newer object took over
    teardownMenuPlatform(m);
    m.model.teardown();
}

void OwnerDrawnMenu::CreateMenu() {
    SharedMenu& m = sharedMenu();
    // Two hooks would chain MenuWindowProc to itself, and the old popup menu would leak.
    if (m.previousWndProc || m.menuHandle) teardownMenuPlatform(m);
    m.model = MenuModel{};  // a new object numbers its items from 0
    if (const HWND frm = menuOwnerWindow())
        m.previousWndProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(frm, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MenuWindowProc)));
    m.menuHandle = ::CreatePopupMenu();
    m.owner = this;
    m.host = &host_;
    Style(0);
}

void OwnerDrawnMenu::AddItem(const std::wstring& itemAlias, PicturePtr itemIcon,
                    const std::wstring& itemText, std::int32_t itemType, std::int32_t itemState) {
    SharedMenu& m = sharedMenu();
    const std::int32_t id = m.model.nextItemId();
    if (m.menuHandle) {
        std::wstring text = itemText;
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = kItemInfoMask;
        info.fType = static_cast<UINT>(itemType);
        info.fState = static_cast<UINT>(itemState);
        info.wID = static_cast<UINT>(id);
        info.dwItemData = 0xFFFFFFFF;
        info.dwTypeData = text.data();
        info.cch = static_cast<UINT>(text.size());
        // Appended by position: the id is new, so this is where "by command" would put it too.
        ::InsertMenuItemW(m.menuHandle, static_cast<UINT>(::GetMenuItemCount(m.menuHandle)), TRUE,
                          &info);
    }
    m.model.addItem(itemAlias, std::move(itemIcon), itemText, itemType, itemState,
                    [&m] { teardownMenuPlatform(m); });
    if (m.menuHandle) makeOwnerDrawn(m.menuHandle, static_cast<UINT>(id));
}

void OwnerDrawnMenu::DeleteItem(const std::wstring& itemAlias) {
    const SharedMenu& m = sharedMenu();
    if (const auto id = m.model.findItem(itemAlias); id && m.menuHandle)
        ::DeleteMenu(m.menuHandle, static_cast<UINT>(*id), MF_BYCOMMAND);
}

void OwnerDrawnMenu::PopupMenu(int X, int Y, UINT Align) {
    SharedMenu& m = sharedMenu();
    if (!m.menuHandle || m.tracked) return;
    arrangeColumns(m, X, Y);
    const HMENU shown = m.tracked = m.menuHandle;
    m.trackedTornDown = false;
    ::TrackPopupMenu(shown, Align, X, Y, 0, menuOwnerWindow(), nullptr);
    // This object may be gone by now (a rebuild ran inside the menu loop); touch only sharedMenu.
    m.tracked = nullptr;
    if (std::exchange(m.trackedTornDown, false)) ::DestroyMenu(shown);
}

void OwnerDrawnMenu::SetItemIcon(const std::wstring& itemAlias, PicturePtr itemIcon) {
    model().setItemIcon(itemAlias, std::move(itemIcon));
}

PicturePtr OwnerDrawnMenu::GetItemIcon(const std::wstring& itemAlias) const {
    return sharedMenu().model.itemIcon(itemAlias);
}

void OwnerDrawnMenu::SetItemText(const std::wstring& itemAlias, const std::wstring& itemText) {
    model().setItemText(itemAlias, itemText);
}

std::wstring OwnerDrawnMenu::GetItemText(const std::wstring& itemAlias) const {
    return sharedMenu().model.itemText(itemAlias);
}

void OwnerDrawnMenu::SetItemState(const std::wstring& itemAlias, std::int32_t itemState) {
    SharedMenu& m = sharedMenu();
    const auto update = m.model.setItemState(itemAlias, itemState);
    if (!update || !m.menuHandle) return;
    // Only the state is read and written back: the item's type and text stay as they are.
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    const UINT id = static_cast<UINT>(update->itemId);
    if (!::GetMenuItemInfoW(m.menuHandle, id, FALSE, &info)) return;
    info.fState |= static_cast<UINT>(update->orBits);
    ::SetMenuItemInfoW(m.menuHandle, id, FALSE, &info);
}

std::int32_t OwnerDrawnMenu::GetItemState(const std::wstring& itemAlias) const {
    return sharedMenu().model.itemState(itemAlias);
}

HMENU OwnerDrawnMenu::hwnd() const { return sharedMenu().menuHandle; }

void OwnerDrawnMenu::Style(std::int32_t nMenuStyle) {
    model().setStyle(nMenuStyle, Win32SystemColors{}, host_.leftBarPicture);
}

}  // namespace replybar::menu
