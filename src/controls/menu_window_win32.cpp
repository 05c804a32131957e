#include "controls/menu_window_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "controls/launch_map.h"
#include "core/codec.h"
#include "win/handles.h"
#include "win/interface_win32.h"

namespace replybar::menu {
namespace {

constexpr wchar_t kMenuOwnerClass[] = L"ReplyBar.MenuOwner";

HWND g_menuOwner = nullptr;

RECT toRect(const PxRect& r) { return {r.left, r.top, r.right, r.bottom}; }
HICON toIcon(std::uintptr_t h) { return reinterpret_cast<HICON>(h); }

// The size item icons are drawn at, for the display scale the system menu rows have.
int itemIconSize() {
    return menuIconSize(::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYMENU));
}

// DrawState draws an icon at its own size, and launcher icons are twice the small icon size:
// draw a copy of the item icon's size so the disabled look and the shadow stay inside the icon
// column like DrawIconEx does.
void drawIconState(HDC dc, HBRUSH brush, std::uintptr_t icon, int x, int y, int size, UINT flags) {
    const win::UniqueIcon small{
        static_cast<HICON>(::CopyImage(toIcon(icon), IMAGE_ICON, size, size, 0))};
    if (!small) return;
    ::DrawStateW(dc, brush, nullptr, reinterpret_cast<LPARAM>(small.get()), 0, x, y, size, size,
                 DST_ICON | flags);
}

struct Executor {
    HDC dc;

    void operator()(const SetBkModeTransparentOp&) const { ::SetBkMode(dc, TRANSPARENT); }
    void operator()(const FillRectOp& op) const {
        const win::UniqueBrush brush{::CreateSolidBrush(op.color)};
        const RECT r = toRect(op.rect);
        if (brush) ::FillRect(dc, &r, brush.get());
    }
    void operator()(const LineOp& op) const {
        const win::UniquePen pen{::CreatePen(PS_SOLID, 1, op.color)};
        if (!pen) return;
        const win::SelectGuard usePen(dc, pen.get());
        ::MoveToEx(dc, op.x1, op.y1, nullptr);
        ::LineTo(dc, op.x2, op.y2);
    }
    void operator()(const RectangleOp& op) const {
        const win::UniquePen pen{::CreatePen(op.penStyle, 0, op.penColor)};
        const win::UniqueBrush brush{::CreateSolidBrush(op.brushColor)};
        if (!pen || !brush) return;
        const win::SelectGuard usePen(dc, pen.get());
        const win::SelectGuard useBrush(dc, brush.get());
        ::Rectangle(dc, op.rect.left, op.rect.top, op.rect.right, op.rect.bottom);
    }
    void operator()(const DrawEdgeOp& op) const {
        RECT r = toRect(op.rect);
        ::DrawEdge(dc, &r, op.edge, op.flags);
    }
    void operator()(const TextOp& op) const {
        ::SetTextColor(dc, op.color);
        RECT r = toRect(op.rect);
        // A caption wider than its capped item ends in an ellipsis; "&" in a file name is a
        // character, not a mnemonic.
        ::DrawTextW(dc, op.text.c_str(), static_cast<int>(op.text.size()), &r,
                    DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
    void operator()(const IconOp& op) const {
        ::DrawIconEx(dc, op.x, op.y, toIcon(op.icon), op.size, op.size, 0, nullptr, DI_NORMAL);
    }
    void operator()(const IconDisabledOp& op) const {
        drawIconState(dc, nullptr, op.icon, op.x, op.y, op.size, DSS_DISABLED);
    }
    void operator()(const IconShadowOp& op) const {
        const win::UniqueBrush grey{::CreateSolidBrush(IconShadowOp::kShadowColor)};
        if (grey) drawIconState(dc, grey.get(), op.icon, op.x, op.y, op.size, DSS_MONO);
    }
    void operator()(const BarImageOp& op) const {
        const win::UniqueDc memory{::CreateCompatibleDC(nullptr)};
        if (!memory) return;
        const win::SelectGuard useBitmap(memory.get(), reinterpret_cast<HGDIOBJ>(op.bitmap));
        ::BitBlt(dc, 0, 0, op.width, op.height, memory.get(), 0, 0, SRCCOPY);
    }
};

void drawMenuItem(const DRAWITEMSTRUCT& dis) {
    SharedMenu& m = sharedMenu();
    if (dis.CtlType != ODT_MENU) return;
    DrawRequest request;
    request.ctlType = dis.CtlType;
    request.itemId = dis.itemID;
    request.itemState = dis.itemState;
    request.rc = {dis.rcItem.left, dis.rcItem.top, dis.rcItem.right, dis.rcItem.bottom};
    const int count = m.menuHandle ? ::GetMenuItemCount(m.menuHandle) : 0;
    for (int p = 0; p < count; ++p) request.menuItemIds.push_back(::GetMenuItemID(m.menuHandle, p));

    const DrawPlan plan =
        planDrawItem(request, m.model, ::GetSystemMetrics(SM_CYMENU), itemIconSize());
    executeDrawPlan(dis.hDC, plan);
    if (plan.markPointerLeft && m.host && m.host->pointerEvents) m.host->pointerEvents->itemLeft();
}

// Half the width of the monitor under the pointer, where the menu opens, or a column's share of
// it when the menu opens in columns: no item is wider.
int widestItem() {
    if (sharedMenu().widestItem > 0) return sharedMenu().widestItem;
    POINT p{};
    ::GetCursorPos(&p);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoW(::MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST), &info))
        return ::GetSystemMetrics(SM_CXSCREEN) / 2;
    return (info.rcMonitor.right - info.rcMonitor.left) / 2;
}

int naturalWidth(const MenuItem& r) {
    return measureItemWidth(codec::gbkByteLength(r.itemText), ::GetSystemMetrics(SM_CYMENU),
                            sharedMenu().model.appearance().leftBarWidth, itemIconSize());
}

void measureMenuItem(MEASUREITEMSTRUCT& mis) {
    const SharedMenu& m = sharedMenu();
    const MenuItem* r = m.model.record(mis.itemID);
    const std::size_t bytes = r ? codec::gbkByteLength(r->itemText) : 0;
    const auto size =
        menu::measureMenuItem(mis.CtlType, mis.itemID, m.model, bytes,
                              ::GetSystemMetrics(SM_CYMENU), widestItem(), itemIconSize());
    if (!size) return;
    mis.itemWidth = static_cast<UINT>(std::max(size->width, 0));
    mis.itemHeight = static_cast<UINT>(std::max(size->height, 0));
}

// The whole caption of a cut item, shown under it while it is selected.
HWND g_fullName = nullptr;

void showFullName(HMENU menu, UINT itemId) {
    if (!g_fullName) {
        g_fullName = win::createTooltipWindow(menuOwnerWindow());
        win::addTool(g_fullName, menuOwnerWindow(), 1, TTF_TRACK | TTF_ABSOLUTE, RECT{}, L"");
    }
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = menuOwnerWindow();
    ti.uId = 1;
    const MenuItem* r = menu ? sharedMenu().model.record(itemId) : nullptr;
    RECT item{};
    int position = -1;
    for (int p = 0; r && p < ::GetMenuItemCount(menu); ++p)
        if (::GetMenuItemID(menu, p) == itemId) position = p;
    if (!r || position < 0 || naturalWidth(*r) <= widestItem() ||
        !::GetMenuItemRect(nullptr, menu, static_cast<UINT>(position), &item)) {
        ::SendMessageW(g_fullName, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
        return;
    }
    std::wstring text = r->itemText;
    ti.lpszText = text.data();
    ::SendMessageW(g_fullName, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    // Under the item, or above it where the screen ends below (its size is known once shown).
    ::SendMessageW(g_fullName, TTM_TRACKPOSITION, 0, MAKELPARAM(item.left + 20, item.bottom + 2));
    ::SendMessageW(g_fullName, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
    RECT tip{};
    ::GetWindowRect(g_fullName, &tip);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    ::GetMonitorInfoW(::MonitorFromRect(&item, MONITOR_DEFAULTTONEAREST), &info);
    if (item.bottom + 2 + (tip.bottom - tip.top) > info.rcMonitor.bottom)
        ::SendMessageW(g_fullName, TTM_TRACKPOSITION, 0,
                       MAKELPARAM(item.left + 20, item.top - (tip.bottom - tip.top) - 2));
}

void onCommand(WPARAM wp) {
    const auto id = static_cast<std::int64_t>(wp);
    if (sharedMenu().model.toggleCheckOnCommand(id)) RunMenuCommand(id);
}

}  // namespace

SharedMenu& sharedMenu() {
    static SharedMenu shared;
    return shared;
}

HWND menuOwnerWindow() {
    if (g_menuOwner && ::IsWindow(g_menuOwner)) return g_menuOwner;
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    if (!::GetClassInfoExW(instance, kMenuOwnerClass, &wc)) {
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = instance;
        wc.lpszClassName = kMenuOwnerClass;
        ::RegisterClassExW(&wc);
    }
    g_menuOwner = ::CreateWindowExW(WS_EX_TOOLWINDOW, kMenuOwnerClass, L"MenuOwner", WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, instance, nullptr);
    return g_menuOwner;
}

LRESULT CALLBACK MenuWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    // Read first: a command may tear the menu down (a rebuild, or "exit").
    const WNDPROC previous = sharedMenu().previousWndProc;
    try {
        switch (msg) {
            case WM_DRAWITEM:
                if (lp) drawMenuItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
                break;
            case WM_MEASUREITEM:
                if (lp) measureMenuItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lp));
                break;
            case WM_COMMAND: onCommand(wp); break;
            case WM_MENUSELECT:
                // The closing notification carries no menu and yields −1.
                if (::GetMenuItemID(reinterpret_cast<HMENU>(lp), LOWORD(wp) & 0xFF) !=
                    static_cast<UINT>(-1))
                    OnMenuItemSelect();
                showFullName(reinterpret_cast<HMENU>(lp), LOWORD(wp));
                break;
            default: break;
        }
    } catch (...) {
        // Nothing may unwind through the system's menu loop; the message still goes on.
    }
    return previous ? ::CallWindowProcW(previous, hwnd, msg, wp, lp)
                    : ::DefWindowProcW(hwnd, msg, wp, lp);
}

void teardownMenuPlatform(SharedMenu& m) {
    if (m.previousWndProc && g_menuOwner && ::IsWindow(g_menuOwner))
        ::SetWindowLongPtrW(g_menuOwner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m.previousWndProc));
    m.previousWndProc = nullptr;
    if (const HMENU menu = std::exchange(m.menuHandle, nullptr)) {
        if (menu == m.tracked) {
            // Destroying the menu under TrackPopupMenu's feet is not safe: close it, and
            // PopupMenu destroys it once the system lets go.
            ::EndMenu();
            m.trackedTornDown = true;
        } else {
            ::DestroyMenu(menu);
        }
    }
    m.owner = nullptr;
    m.host = nullptr;
}

void RunMenuCommand(std::int64_t itemId) {
    const SharedMenu& m = sharedMenu();
    const MenuItem* r = m.model.record(itemId);
    if (!r || !m.host) return;
    // Copies: opening a file may pump messages, and "exit" drops the menu object and its table.
    const MenuHost host = *m.host;
    const bool exitItem = r->itemAlias == L"exit";
    if (host.entries && host.shell) {
        const auto name = launch::resolveLaunchEntry(
            host.entries->map, launch::launchEntryForItem(itemId, r->itemData));
        // An empty name is the closing marker of the list, not a file.
        if (name && !name->empty())
            host.shell->open(launch::launchPath(host.entries->folder, *name));
    }
    if (exitItem && host.unloadAll) host.unloadAll();
}

void OnMenuItemSelect() {
    const SharedMenu& m = sharedMenu();
    if (m.host && m.host->pointerEvents) m.host->pointerEvents->itemSelected();
}

void executeDrawPlan(HDC dc, const DrawPlan& plan) {
    if (!dc) return;
    const Executor run{dc};
    for (const DrawOp& op : plan.ops) std::visit(run, op);
}

}  // namespace replybar::menu
