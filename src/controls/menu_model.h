// sharedMenu: the owner-drawn popup menu's item table and appearance, without the platform. The
// Win32 half (OwnerDrawnMenu) owns the popup menu handle and the window hook and mirrors each call here;
// one instance per process is its business, tests make their own.
//
// Of this the bar uses the item record (MenuItem, whose itemData carries a launcher entry's
// number), the item type and state values and the picture type; the appearance and its presets
// serve the menu control, which keeps them whole.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace replybar::menu {

using Colorref = std::uint32_t;  // 0x00BBGGRR

constexpr Colorref rgb(int r, int g, int b) {
    return static_cast<Colorref>(r & 255) | static_cast<Colorref>(g & 255) << 8 |
           static_cast<Colorref>(b & 255) << 16;
}

// MFT_ values the drawing and the hook tell apart (exact values, not bits).
constexpr std::int32_t kTypeString = 0;
constexpr std::int32_t kTypeRadioCheck = 0x200;
constexpr std::int32_t kTypeSeparator = 0x800;
// MFS_ bits read from a record.
constexpr std::int32_t kStateDisabled = 0x2;
constexpr std::int32_t kStateChecked = 0x8;

// An item icon or the left bar bitmap. The Win32 side wraps a picture object; handle 0 means
// the picture holds no image. A null pointer is the empty picture.
class MenuPicture {
public:
    virtual ~MenuPicture() = default;
    virtual std::uintptr_t handle() const = 0;
};
using PicturePtr = std::shared_ptr<MenuPicture>;

inline std::uintptr_t pictureHandle(const PicturePtr& picture) {
    return picture ? picture->handle() : 0;
}

struct MenuItem {
    PicturePtr itemIcon;
    std::wstring itemAlias;
    std::wstring itemText;
    std::int32_t itemType = kTypeString;
    std::int32_t itemState = 0;
    std::int64_t itemData = 0;  // the owner's own number for the item; 0 when it gave none
};

// The object's error convention: a number, a source and a description.
class MenuError : public std::exception {
public:
    static constexpr std::int32_t kDuplicateAlias = -2147220991;  // 0x80040201

    std::int32_t number() const { return kDuplicateAlias; }
    const std::wstring& source() const { return source_; }
    const std::wstring& description() const { return description_; }
    const char* what() const noexcept override { return "OwnerDrawnMenu: duplicate menu item alias"; }

private:
    std::wstring source_ = L"OwnerDrawnMenu";
    std::wstring description_ = L"菜单项别名相同.";
};

// GetSysColor, read at the moment a preset is applied.
class ISystemColors {
public:
    virtual ~ISystemColors() = default;
    virtual std::uint32_t color(int index) const = 0;
};
constexpr int kColorMenu = 4;
constexpr int kColorMenuText = 7;
constexpr int kColorHighlight = 13;
constexpr int kColorHighlightText = 14;
constexpr int kColorGrayText = 17;

// The eighteen appearance properties; all zero until a preset is applied.
struct MenuAppearance {
    PicturePtr leftBarImage;
    std::int32_t leftBarWidth = 0;
    std::int32_t leftBarStyle = 0;  // 0 none, 1 solid, 2 gradient →, 3 gradient ↓, 4 image
    Colorref leftBarStartColor = 0;
    Colorref leftBarEndColor = 0;
    std::int32_t itemSelectScope = 0;  // bit 2 icon column, bit 1 text, 4 row edge always
    Colorref itemTextEnabledColor = 0;
    Colorref itemTextDisabledColor = 0;
    Colorref itemTextSelectColor = 0;
    std::int32_t itemIconStyle = 0;        // 0 none, 1 sunken, 2 raised, 3 shadow
    std::int32_t itemSelectEdgeStyle = 0;  // 0-4 pen style, 5 none, 6 sunken, 7 raised
    Colorref itemSelectEdgeColor = 0;
    std::int32_t itemSelectFillStyle = 0;  // 0 none, 1 solid, 2 gradient →, 3 gradient ↓
    Colorref itemSelectFillStartColor = 0;
    Colorref itemSelectFillEndColor = 0;
    Colorref backColor = 0;
    std::int32_t separatorStyle = 0;  // 0-4 pen style, 5 none, 6 etched
    Colorref separatorColor = 0;
    bool operator==(const MenuAppearance&) const = default;
};

class MenuModel {
public:
    // What SetItemState must OR into the state of the system item with command id `itemId`.
    struct StateUpdate {
        std::int32_t itemId;
        std::int32_t orBits;
    };

    // AddItem. The Win32 side first inserts the system item with id nextItemId(), then calls
    // this. The table grows by one empty record and the alias is compared with every record,
    // the new empty one included, so an empty alias is always refused. On a match
    // `platformTeardown` runs (restore the window procedure, DestroyMenu), the table is erased
    // and MenuError is thrown; the inserted system item dies with the destroyed menu. On success
    // the record is filled, nextItemId advances and the new id is returned; the caller then
    // makes the system item owner-drawn.
    std::int32_t addItem(const std::wstring& itemAlias, PicturePtr itemIcon,
                         const std::wstring& itemText, std::int32_t itemType,
                         std::int32_t itemState, const std::function<void()>& platformTeardown,
                         std::int64_t itemData = 0);

    // Erases the whole table, releasing icons and texts. nextItemId is kept, so ids are never
    // reused. Safe to run any number of times.
    void teardown();

    std::int32_t nextItemId() const { return nextItemId_; }
    std::size_t recordCount() const { return items_.size(); }
    // The record with this id, or nullptr (ids from the system may be anything).
    const MenuItem* record(std::int64_t itemId) const;

    // Id of the first record carrying `itemAlias` (exact, case-sensitive); DeleteItem removes the
    // system item with this id and leaves the record, so the alias stays taken. An empty alias
    // is never a key and finds nothing.
    std::optional<std::int32_t> findItem(const std::wstring& itemAlias) const;

    bool setItemIcon(const std::wstring& itemAlias, PicturePtr itemIcon);
    PicturePtr itemIcon(const std::wstring& itemAlias) const;
    bool setItemText(const std::wstring& itemAlias, const std::wstring& itemText);
    std::wstring itemText(const std::wstring& itemAlias) const;
    // The record holds exactly `itemState` afterwards; the system item only ever gains bits.
    std::optional<StateUpdate> setItemState(const std::wstring& itemAlias, std::int32_t itemState);
    std::int32_t itemState(const std::wstring& itemAlias) const;

    // A chosen check item flips between checked (exactly 8) and 0; false when no record has `id`.
    bool toggleCheckOnCommand(std::int64_t itemId);

    // Appearance. Only LeftBarWidth and LeftBarStyle validate; ignored values leave the property.
    const MenuAppearance& appearance() const { return look_; }
    void setLeftBarWidth(std::int32_t nBarWidth);
    void setLeftBarStyle(std::int32_t nBarStyle);
    void setLeftBarImage(PicturePtr nBarImage) { look_.leftBarImage = std::move(nBarImage); }
    void setLeftBarStartColor(Colorref c) { look_.leftBarStartColor = c; }
    void setLeftBarEndColor(Colorref c) { look_.leftBarEndColor = c; }
    void setItemSelectScope(std::int32_t v) { look_.itemSelectScope = v; }
    void setItemTextEnabledColor(Colorref c) { look_.itemTextEnabledColor = c; }
    void setItemTextDisabledColor(Colorref c) { look_.itemTextDisabledColor = c; }
    void setItemTextSelectColor(Colorref c) { look_.itemTextSelectColor = c; }
    void setItemIconStyle(std::int32_t v) { look_.itemIconStyle = v; }
    void setItemSelectEdgeStyle(std::int32_t v) { look_.itemSelectEdgeStyle = v; }
    void setItemSelectEdgeColor(Colorref c) { look_.itemSelectEdgeColor = c; }
    void setItemSelectFillStyle(std::int32_t v) { look_.itemSelectFillStyle = v; }
    void setItemSelectFillStartColor(Colorref c) { look_.itemSelectFillStartColor = c; }
    void setItemSelectFillEndColor(Colorref c) { look_.itemSelectFillEndColor = c; }
    void setBackColor(Colorref c) { look_.backColor = c; }
    void setSeparatorStyle(std::int32_t v) { look_.separatorStyle = v; }
    void setSeparatorColor(Colorref c) { look_.separatorColor = c; }

    // Stores the value; 0-4 then apply a preset with the system colours of this moment.
    // `leftBarPicture` is the picture down the menu's left edge, used by preset 4 only.
    void setStyle(std::int32_t nMenuStyle, const ISystemColors& system,
                  const PicturePtr& leftBarPicture);
    std::int32_t style() const { return style_; }

private:
    MenuItem* findRecord(const std::wstring& itemAlias);
    const MenuItem* findRecord(const std::wstring& itemAlias) const;

    std::vector<MenuItem> items_;  // index = item id
    std::int32_t nextItemId_ = 0;
    MenuAppearance look_;
    std::int32_t style_ = 0;
};

}  // namespace replybar::menu
