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

// Where the menu opens (placeMenu), for the monitor at (x, y): the first item of each new column
// gets MFT_MENUBARBREAK, every other item loses it, and no item is wider than its column's share
// of the width, so the whole menu is on screen and every item can be clicked.
MenuPlacement arrangeColumns(SharedMenu& m, int x, int y, const RECT& keepFree) {
    m.widestItem = 0;
    const int count = ::GetMenuItemCount(m.menuHandle);
    if (count <= 0) return {};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoW(::MonitorFromPoint({x, y}, MONITOR_DEFAULTTONEAREST), &monitor)) return {};
    const RECT& work = monitor.rcWork;
    // The menu window's frame, top and bottom, with room for a themed border.
    const int frame = 2 * (::GetSystemMetrics(SM_CYFIXEDFRAME) + ::GetSystemMetrics(SM_CYEDGE));
    const int cyMenu = ::GetSystemMetrics(SM_CYMENU);
    std::vector<int> heights;
    for (int p = 0; p < count; ++p) {
        const MenuItem* r = m.model.record(::GetMenuItemID(m.menuHandle, p));
        heights.push_back(measureItemHeight(r ? r->itemType : kTypeString, cyMenu));
    }
    const auto rect = [](const RECT& r) {
        return PxRect{static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right),
                      static_cast<int>(r.bottom)};
    };
    const MenuPlacement placement = placeMenu(heights, rect(work), y, rect(keepFree), frame);
    if (placement.side != MenuSide::AtPoint)
        m.widestItem = std::max(std::min(placement.columnWidth, static_cast<int>(work.right - work.left) / 2), cyMenu);
    std::size_t next = 0;
    for (int p = 0; p < count; ++p) {
        const bool breaks =
            next < placement.starts.size() && placement.starts[next] == static_cast<std::size_t>(p);
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
    return placement;
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
                    const std::wstring& itemText, std::int32_t itemType, std::int32_t itemState,
                    std::int64_t itemData) {
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
                    [&m] { teardownMenuPlatform(m); }, itemData);
    if (m.menuHandle) makeOwnerDrawn(m.menuHandle, static_cast<UINT>(id));
}

void OwnerDrawnMenu::DeleteItem(const std::wstring& itemAlias) {
    const SharedMenu& m = sharedMenu();
    if (const auto id = m.model.findItem(itemAlias); id && m.menuHandle)
        ::DeleteMenu(m.menuHandle, static_cast<UINT>(*id), MF_BYCOMMAND);
}

void OwnerDrawnMenu::PopupMenu(int X, int Y, UINT Align, const RECT* keepFree) {
    SharedMenu& m = sharedMenu();
    if (!m.menuHandle || m.tracked) return;
    TPMPARAMS beside{sizeof beside, keepFree ? *keepFree : RECT{X, Y, X, Y}};
    const MenuPlacement placement = arrangeColumns(m, X, Y, beside.rcExclude);
    m.openedBeside = placement.side != MenuSide::AtPoint;
    // Beside the rectangle: its edge is the anchor, and the system moves the menu along it only.
    const RECT& free = beside.rcExclude;
    switch (placement.side) {
        case MenuSide::AtPoint: break;
        case MenuSide::Above: Y = free.top; Align = TPM_BOTTOMALIGN | TPM_VERTICAL; break;
        case MenuSide::Below: Y = free.bottom; Align = TPM_TOPALIGN | TPM_VERTICAL; break;
        case MenuSide::Left: X = free.left; Align = TPM_RIGHTALIGN | TPM_HORIZONTAL; break;
        case MenuSide::Right: X = free.right; Align = TPM_LEFTALIGN | TPM_HORIZONTAL; break;
    }
    const HMENU shown = m.tracked = m.menuHandle;
    m.trackedTornDown = false;
    ::TrackPopupMenuEx(shown, Align, X, Y, menuOwnerWindow(), m.openedBeside ? &beside : nullptr);
    // This object may be gone by now (a rebuild ran inside the menu loop); touch only sharedMenu.
    m.tracked = nullptr;
    m.openedBeside = false;
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
    const PicturePtr bar =
        nMenuStyle == 4 && host_.leftBarPicture ? host_.leftBarPicture() : PicturePtr{};
    model().setStyle(nMenuStyle, Win32SystemColors{}, bar);
}

}  // namespace replybar::menu
