// OwnerDrawnMenu: the front through which the bar builds and shows its owner-drawn popup menu. The state
// behind it (menu handle, item table, appearance, hook) is sharedMenu's, one per process; the object
// that last ran CreateMenu owns it and its destruction tears it down.
//
// The menu is a control of its own, and keeps its whole interface: item editing, the eighteen
// appearance properties and the presets of Style. The bar relies on one part of it, marked
// below: CreateMenu, AddItem (the entry number as item data), Style, PopupMenu, openedBeside and
// items(), with the MenuHost it is made with (menu_window_win32.h).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "controls/menu_model.h"
#include "controls/menu_window_win32.h"

namespace replybar::menu {

class OwnerDrawnMenu {
public:
    // The part the bar uses.
    explicit OwnerDrawnMenu(MenuHost host);
    ~OwnerDrawnMenu();  // teardown, when this object owns the menu
    OwnerDrawnMenu(const OwnerDrawnMenu&) = delete;
    OwnerDrawnMenu& operator=(const OwnerDrawnMenu&) = delete;

    // Hooks the menu's owner window, creates the popup menu, applies preset 0. A menu still in place (an older
    // object's, or this one's from an earlier call) is torn down first.
    void CreateMenu();
    // Appends an item; throws MenuError (with the menu torn down) when the alias is taken.
    // `itemData` is the caller's own number for the item, handed back in its record
    // (MenuItem::itemData) when the item is chosen.
    void AddItem(const std::wstring& itemAlias, PicturePtr itemIcon, const std::wstring& itemText,
                 std::int32_t itemType, std::int32_t itemState, std::int64_t itemData = 0);
    // Returns when the menu closes; a chosen item arrives afterwards as a posted WM_COMMAND.
    // A menu that fits neither below nor above the point opens beside `keepFree` (screen
    // pixels; the point when null), in columns where it needs them (placeMenu).
    void PopupMenu(int X, int Y, UINT Align = 0, const RECT* keepFree = nullptr);
    // While PopupMenu runs: the menu was put beside keepFree rather than at the point.
    bool openedBeside() const { return sharedMenu().openedBeside; }
    std::int32_t Style() const { return sharedMenu().model.style(); }
    void Style(std::int32_t nMenuStyle);  // 0-4 apply a preset
    // The shared item table, for the launcher build and tests.
    const MenuModel& items() const { return sharedMenu().model; }

    // The rest of the control's interface.
    void DeleteItem(const std::wstring& itemAlias);
    void SetItemIcon(const std::wstring& itemAlias, PicturePtr itemIcon);
    PicturePtr GetItemIcon(const std::wstring& itemAlias) const;
    void SetItemText(const std::wstring& itemAlias, const std::wstring& itemText);
    std::wstring GetItemText(const std::wstring& itemAlias) const;
    // The record takes `itemState`; the system item gains its bits and never loses any.
    void SetItemState(const std::wstring& itemAlias, std::int32_t itemState);
    std::int32_t GetItemState(const std::wstring& itemAlias) const;

    HMENU hwnd() const;  // the popup menu handle (read-only)

    std::int32_t LeftBarWidth() const { return look().leftBarWidth; }
    void LeftBarWidth(std::int32_t nBarWidth) { model().setLeftBarWidth(nBarWidth); }
    std::int32_t LeftBarStyle() const { return look().leftBarStyle; }
    void LeftBarStyle(std::int32_t nBarStyle) { model().setLeftBarStyle(nBarStyle); }
    PicturePtr LeftBarImage() const { return look().leftBarImage; }
    void LeftBarImage(PicturePtr nBarImage) { model().setLeftBarImage(std::move(nBarImage)); }
    Colorref LeftBarStartColor() const { return look().leftBarStartColor; }
    void LeftBarStartColor(Colorref c) { model().setLeftBarStartColor(c); }
    Colorref LeftBarEndColor() const { return look().leftBarEndColor; }
    void LeftBarEndColor(Colorref c) { model().setLeftBarEndColor(c); }
    std::int32_t ItemSelectScope() const { return look().itemSelectScope; }
    void ItemSelectScope(std::int32_t v) { model().setItemSelectScope(v); }
    Colorref ItemTextEnabledColor() const { return look().itemTextEnabledColor; }
    void ItemTextEnabledColor(Colorref c) { model().setItemTextEnabledColor(c); }
    Colorref ItemTextDisabledColor() const { return look().itemTextDisabledColor; }
    void ItemTextDisabledColor(Colorref c) { model().setItemTextDisabledColor(c); }
    Colorref ItemTextSelectColor() const { return look().itemTextSelectColor; }
    void ItemTextSelectColor(Colorref c) { model().setItemTextSelectColor(c); }
    std::int32_t ItemIconStyle() const { return look().itemIconStyle; }
    void ItemIconStyle(std::int32_t v) { model().setItemIconStyle(v); }
    std::int32_t ItemSelectEdgeStyle() const { return look().itemSelectEdgeStyle; }
    void ItemSelectEdgeStyle(std::int32_t v) { model().setItemSelectEdgeStyle(v); }
    Colorref ItemSelectEdgeColor() const { return look().itemSelectEdgeColor; }
    void ItemSelectEdgeColor(Colorref c) { model().setItemSelectEdgeColor(c); }
    std::int32_t ItemSelectFillStyle() const { return look().itemSelectFillStyle; }
    void ItemSelectFillStyle(std::int32_t v) { model().setItemSelectFillStyle(v); }
    Colorref ItemSelectFillStartColor() const { return look().itemSelectFillStartColor; }
    void ItemSelectFillStartColor(Colorref c) { model().setItemSelectFillStartColor(c); }
    Colorref ItemSelectFillEndColor() const { return look().itemSelectFillEndColor; }
    void ItemSelectFillEndColor(Colorref c) { model().setItemSelectFillEndColor(c); }
    Colorref BackColor() const { return look().backColor; }
    void BackColor(Colorref c) { model().setBackColor(c); }
    std::int32_t SeparatorStyle() const { return look().separatorStyle; }
    void SeparatorStyle(std::int32_t v) { model().setSeparatorStyle(v); }
    Colorref SeparatorColor() const { return look().separatorColor; }
    void SeparatorColor(Colorref c) { model().setSeparatorColor(c); }

private:
    static MenuModel& model() { return sharedMenu().model; }
    static const MenuAppearance& look() { return sharedMenu().model.appearance(); }

    MenuHost host_;
};

}  // namespace replybar::menu
