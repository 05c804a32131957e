#include "controls/menu_model.h"

#include <algorithm>
#include <utility>

namespace replybar::menu {

std::int32_t MenuModel::addItem(const std::wstring& itemAlias, PicturePtr itemIcon,
                                const std::wstring& itemText, std::int32_t itemType,
                                std::int32_t itemState,
                                const std::function<void()>& platformTeardown) {
    const std::int32_t id = nextItemId_;
    // After a teardown the table is shorter than the ids handed out; the gap is empty records.
    items_.resize(static_cast<std::size_t>(id) + 1);
    const bool taken = std::any_of(items_.begin(), items_.end(),
                                   [&](const MenuItem& r) { return r.itemAlias == itemAlias; });
    if (taken) {
        if (platformTeardown) platformTeardown();
        teardown();
        throw MenuError();
    }
    MenuItem& r = items_[static_cast<std::size_t>(id)];
    r.itemIcon = std::move(itemIcon);
    r.itemText = itemText;
    r.itemType = itemType;
    r.itemState = itemState;
    r.itemAlias = itemAlias;
    nextItemId_ = id + 1;
    return id;
}

void MenuModel::teardown() { std::vector<MenuItem>().swap(items_); }

const MenuItem* MenuModel::record(std::int64_t itemId) const {
    if (itemId < 0 || static_cast<std::uint64_t>(itemId) >= items_.size()) return nullptr;
    return &items_[static_cast<std::size_t>(itemId)];
}

const MenuItem* MenuModel::findRecord(const std::wstring& itemAlias) const {
    // Records left empty by a teardown carry "" and must not answer for anything.
    if (itemAlias.empty()) return nullptr;
    for (const MenuItem& r : items_)
        if (r.itemAlias == itemAlias) return &r;
    return nullptr;
}

MenuItem* MenuModel::findRecord(const std::wstring& itemAlias) {
    return const_cast<MenuItem*>(std::as_const(*this).findRecord(itemAlias));
}

std::optional<std::int32_t> MenuModel::findItem(const std::wstring& itemAlias) const {
    const MenuItem* r = findRecord(itemAlias);
    if (!r) return std::nullopt;
    return static_cast<std::int32_t>(r - items_.data());
}

bool MenuModel::setItemIcon(const std::wstring& itemAlias, PicturePtr itemIcon) {
    MenuItem* r = findRecord(itemAlias);
    if (r) r->itemIcon = std::move(itemIcon);
    return r != nullptr;
}

PicturePtr MenuModel::itemIcon(const std::wstring& itemAlias) const {
    const MenuItem* r = findRecord(itemAlias);
    return r ? r->itemIcon : nullptr;
}

bool MenuModel::setItemText(const std::wstring& itemAlias, const std::wstring& itemText) {
    MenuItem* r = findRecord(itemAlias);
    if (r) r->itemText = itemText;
    return r != nullptr;
}

std::wstring MenuModel::itemText(const std::wstring& itemAlias) const {
    const MenuItem* r = findRecord(itemAlias);
    return r ? r->itemText : std::wstring();
}

std::optional<MenuModel::StateUpdate> MenuModel::setItemState(const std::wstring& itemAlias,
                                                              std::int32_t itemState) {
    MenuItem* r = findRecord(itemAlias);
    if (!r) return std::nullopt;
    r->itemState = itemState;
    return StateUpdate{static_cast<std::int32_t>(r - items_.data()), itemState};
}

std::int32_t MenuModel::itemState(const std::wstring& itemAlias) const {
    const MenuItem* r = findRecord(itemAlias);
    return r ? r->itemState : 0;
}

bool MenuModel::toggleCheckOnCommand(std::int64_t itemId) {
    if (!record(itemId)) return false;
    MenuItem& r = items_[static_cast<std::size_t>(itemId)];
    if (r.itemType == kTypeRadioCheck)
        r.itemState = r.itemState == kStateChecked ? 0 : kStateChecked;
    return true;
}

void MenuModel::setLeftBarWidth(std::int32_t nBarWidth) {
    if (nBarWidth >= 0) look_.leftBarWidth = nBarWidth;
}

void MenuModel::setLeftBarStyle(std::int32_t nBarStyle) {
    if (nBarStyle >= 0 && nBarStyle <= 4) look_.leftBarStyle = nBarStyle;
}

void MenuModel::setStyle(std::int32_t nMenuStyle, const ISystemColors& system,
                         const PicturePtr& leftBarPicture) {
    style_ = nMenuStyle;
    if (nMenuStyle < 0 || nMenuStyle > 4) return;

    const Colorref menu = system.color(kColorMenu);
    const Colorref menuText = system.color(kColorMenuText);
    const Colorref highlight = system.color(kColorHighlight);
    const Colorref highlightText = system.color(kColorHighlightText);
    const Colorref grayText = system.color(kColorGrayText);
    const Colorref blue = rgb(0, 0, 255);
    const Colorref selectBlue = rgb(49, 106, 197);
    const Colorref steel = rgb(180, 195, 210);

    MenuAppearance a;  // every property is set below
    a.leftBarImage = nMenuStyle == 4 ? leftBarPicture : nullptr;
    a.leftBarWidth = 20;
    a.leftBarStyle = nMenuStyle == 2 ? 3 : nMenuStyle == 4 ? 4 : 0;
    a.leftBarStartColor = nMenuStyle == 2 ? rgb(0, 0, 0) : menu;
    a.leftBarEndColor = nMenuStyle == 2 ? rgb(255, 255, 255) : menu;
    a.itemSelectScope = nMenuStyle == 3 ? 1 : 2;
    a.itemTextEnabledColor = nMenuStyle == 4 ? blue : menuText;
    a.itemTextDisabledColor = nMenuStyle == 4 ? selectBlue : grayText;
    a.itemIconStyle = nMenuStyle == 3 ? 2 : 0;
    a.backColor = nMenuStyle == 4 ? rgb(230, 230, 255) : menu;
    switch (nMenuStyle) {
        case 0:
            a.itemTextSelectColor = highlightText;
            a.itemSelectEdgeStyle = 0;
            a.itemSelectEdgeColor = highlight;
            a.itemSelectFillStyle = 1;
            a.itemSelectFillStartColor = a.itemSelectFillEndColor = highlight;
            a.separatorStyle = 6;
            a.separatorColor = a.itemTextDisabledColor;
            break;
        case 1:
            a.itemTextSelectColor = a.itemTextEnabledColor;
            a.itemSelectEdgeStyle = 0;
            a.itemSelectEdgeColor = selectBlue;
            a.itemSelectFillStyle = 1;
            a.itemSelectFillStartColor = a.itemSelectFillEndColor = steel;
            a.separatorStyle = 0;
            a.separatorColor = rgb(192, 192, 192);
            break;
        case 2:
            a.itemTextSelectColor = highlightText;
            a.itemSelectEdgeStyle = 5;
            a.itemSelectEdgeColor = highlight;
            a.itemSelectFillStyle = 2;
            a.itemSelectFillStartColor = rgb(0, 0, 0);
            a.itemSelectFillEndColor = rgb(255, 255, 255);
            a.separatorStyle = 6;
            a.separatorColor = a.itemTextDisabledColor;
            break;
        case 3:
            a.itemTextSelectColor = blue;
            a.itemSelectEdgeStyle = 6;
            a.itemSelectEdgeColor = highlight;
            a.itemSelectFillStyle = 0;
            a.itemSelectFillStartColor = a.itemSelectFillEndColor = highlight;
            a.separatorStyle = 6;
            a.separatorColor = a.itemTextDisabledColor;
            break;
        default:  // 4
            a.itemTextSelectColor = rgb(255, 0, 0);
            a.itemSelectEdgeStyle = 2;
            a.itemSelectEdgeColor = rgb(0, 0, 0);
            a.itemSelectFillStyle = 3;
            a.itemSelectFillStartColor = rgb(255, 255, 0);
            a.itemSelectFillEndColor = rgb(0, 255, 0);
            a.separatorStyle = 4;
            a.separatorColor = rgb(255, 0, 255);
            break;
    }
    look_ = std::move(a);
}

}  // namespace replybar::menu
