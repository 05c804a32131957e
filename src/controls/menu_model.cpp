#include "controls/menu_model.h"

#include <algorithm>
#include <array>
#include <utility>

namespace replybar::menu {
namespace {

// The appearance presets, one row each, every property set. System colours are those of this
// moment: a preset copies them and does not follow later changes. `barPicture` is the hidden
// form's picture, shown by the image bar of preset 4.
std::array<MenuAppearance, 5> presets(const ISystemColors& system, const PicturePtr& barPicture) {
    const Colorref menu = system.color(kColorMenu);
    const Colorref menuText = system.color(kColorMenuText);
    const Colorref highlight = system.color(kColorHighlight);
    const Colorref highlightText = system.color(kColorHighlightText);
    const Colorref grayText = system.color(kColorGrayText);
    return {{
        // 0: the system's menu colours, a solid highlight, etched separators.
        {.leftBarImage = nullptr,
         .leftBarWidth = 20,
         .leftBarStyle = 0,
         .leftBarStartColor = menu,
         .leftBarEndColor = menu,
         .itemSelectScope = 2,
         .itemTextEnabledColor = menuText,
         .itemTextDisabledColor = grayText,
         .itemTextSelectColor = highlightText,
         .itemIconStyle = 0,
         .itemSelectEdgeStyle = 0,
         .itemSelectEdgeColor = highlight,
         .itemSelectFillStyle = 1,
         .itemSelectFillStartColor = highlight,
         .itemSelectFillEndColor = highlight,
         .backColor = menu,
         .separatorStyle = 6,
         .separatorColor = grayText},
        // 1: the launcher's: a steel highlight outlined in blue, the text unchanged, grey lines.
        {.leftBarImage = nullptr,
         .leftBarWidth = 20,
         .leftBarStyle = 0,
         .leftBarStartColor = menu,
         .leftBarEndColor = menu,
         .itemSelectScope = 2,
         .itemTextEnabledColor = menuText,
         .itemTextDisabledColor = grayText,
         .itemTextSelectColor = menuText,
         .itemIconStyle = 0,
         .itemSelectEdgeStyle = 0,
         .itemSelectEdgeColor = rgb(49, 106, 197),
         .itemSelectFillStyle = 1,
         .itemSelectFillStartColor = rgb(180, 195, 210),
         .itemSelectFillEndColor = rgb(180, 195, 210),
         .backColor = menu,
         .separatorStyle = 0,
         .separatorColor = rgb(192, 192, 192)},
        // 2: black-to-white gradients down the left bar and across the highlight.
        {.leftBarImage = nullptr,
         .leftBarWidth = 20,
         .leftBarStyle = 3,
         .leftBarStartColor = rgb(0, 0, 0),
         .leftBarEndColor = rgb(255, 255, 255),
         .itemSelectScope = 2,
         .itemTextEnabledColor = menuText,
         .itemTextDisabledColor = grayText,
         .itemTextSelectColor = highlightText,
         .itemIconStyle = 0,
         .itemSelectEdgeStyle = 5,
         .itemSelectEdgeColor = highlight,
         .itemSelectFillStyle = 2,
         .itemSelectFillStartColor = rgb(0, 0, 0),
         .itemSelectFillEndColor = rgb(255, 255, 255),
         .backColor = menu,
         .separatorStyle = 6,
         .separatorColor = grayText},
        // 3: a sunken frame from the text on, blue selected text, raised icons.
        {.leftBarImage = nullptr,
         .leftBarWidth = 20,
         .leftBarStyle = 0,
         .leftBarStartColor = menu,
         .leftBarEndColor = menu,
         .itemSelectScope = 1,
         .itemTextEnabledColor = menuText,
         .itemTextDisabledColor = grayText,
         .itemTextSelectColor = rgb(0, 0, 255),
         .itemIconStyle = 2,
         .itemSelectEdgeStyle = 6,
         .itemSelectEdgeColor = highlight,
         .itemSelectFillStyle = 0,
         .itemSelectFillStartColor = highlight,
         .itemSelectFillEndColor = highlight,
         .backColor = menu,
         .separatorStyle = 6,
         .separatorColor = grayText},
        // 4: the picture bar on lavender, blue text, a dotted yellow-to-green highlight.
        {.leftBarImage = barPicture,
         .leftBarWidth = 20,
         .leftBarStyle = 4,
         .leftBarStartColor = menu,
         .leftBarEndColor = menu,
         .itemSelectScope = 2,
         .itemTextEnabledColor = rgb(0, 0, 255),
         .itemTextDisabledColor = rgb(49, 106, 197),
         .itemTextSelectColor = rgb(255, 0, 0),
         .itemIconStyle = 0,
         .itemSelectEdgeStyle = 2,
         .itemSelectEdgeColor = rgb(0, 0, 0),
         .itemSelectFillStyle = 3,
         .itemSelectFillStartColor = rgb(255, 255, 0),
         .itemSelectFillEndColor = rgb(0, 255, 0),
         .backColor = rgb(230, 230, 255),
         .separatorStyle = 4,
         .separatorColor = rgb(255, 0, 255)},
    }};
}

}  // namespace

std::int32_t MenuModel::addItem(const std::wstring& itemAlias, PicturePtr itemIcon,
                                const std::wstring& itemText, std::int32_t itemType,
                                std::int32_t itemState,
                                const std::function<void()>& platformTeardown,
                                std::int64_t itemData) {
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
    r.itemData = itemData;
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
    const auto table = presets(system, leftBarPicture);
    if (nMenuStyle >= 0 && static_cast<std::size_t>(nMenuStyle) < table.size())
        look_ = table[static_cast<std::size_t>(nMenuStyle)];
}

}  // namespace replybar::menu
