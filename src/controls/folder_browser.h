// FolderBrowser's rules: a text box with a "设置" button on its right that
// picks a folder with the system's folder dialog. The layout, the text a chosen folder becomes,
// the key that browses and the persisted properties live here; folder_browser_win32 is the
// control itself. The bar uses none of this directly: it reaches the control only through the
// part folder_browser_win32.h names.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "controls/property_bag.h"
#include "core/geometry.h"

namespace replybar::controls {

// Rectangles in twips, the host's unit.
struct FolderBrowserLayout {
    TwipRect browse;  // the browse button: flush right, 7 twips taller than the control
    TwipRect text;  // the text box: a pixel in from the top left, up to 2 pixels before the button
    int lineX = 0;  // the 3D-light line one pixel left of the button, top to bottom
};

// The layout of a control `width` × `height` twips whose button is `buttonWidth` wide; a pixel
// is `twipsPerPixelX` or `twipsPerPixelY` twips.
FolderBrowserLayout layoutFolderBrowser(int width, int height, int buttonWidth,
                                        int twipsPerPixelX = kTwipsPerPixel,
                                        int twipsPerPixelY = kTwipsPerPixel);

inline constexpr int kBrowseButtonWidth = 600;  // twips
inline constexpr wchar_t kBrowseTitle[] = L"Select a folder";

// The text a folder chosen in the dialog becomes: with one trailing backslash. nullopt when
// nothing was chosen (a cancel, or no file-system folder).
std::optional<std::wstring> folderTextFromBrowse(const std::wstring& path);

// Shift states as key events report them.
inline constexpr int kShiftMask = 1, kCtrlMask = 2, kAltMask = 4;
inline constexpr int kKeyDown = 40;
// Alt+Down, with Alt alone, opens the folder dialog like a combo box opens its list.
bool isBrowseKey(int keyCode, int shiftState);

// Every property lives in the text box; this is what a host saves and loads of them. The member
// initialisers are the defaults.
struct FolderBrowserProperties {
    std::uint32_t BackColor = 0x80000005;  // system window background
    std::uint32_t ForeColor = 0x80000008;  // system window text
    bool Enabled = true;
    FontDesc Font;  // by default the host's ambient font
    bool Locked = false;
    long long SelLength = 0;
    long long SelStart = 0;
    std::wstring SelText;
    std::wstring Text;
    bool operator==(const FolderBrowserProperties&) const = default;
};

// Where a property is kept in FolderBrowserProperties.
using PropertyField =
    std::variant<std::uint32_t FolderBrowserProperties::*, bool FolderBrowserProperties::*,
                 FontDesc FolderBrowserProperties::*, long long FolderBrowserProperties::*,
                 std::wstring FolderBrowserProperties::*>;

// A persisted property: the name it is saved and marked changed under, and its description.
struct PropertyInfo {
    const wchar_t* name;
    const wchar_t* description;
    PropertyField field;
};
// In the interface's order, which is also the order they are saved and loaded in.
extern const std::array<PropertyInfo, 9> kFolderBrowserProperties;
inline constexpr wchar_t kRefreshDescription[] = L"Forces a complete repaint of a object.";

// The name a property is saved under.
const wchar_t* propertyName(PropertyField field);

// Only what differs from the defaults is written; the font defaults to `ambientFont`.
void writeFolderBrowserProperties(PropertyBag& bag, const FolderBrowserProperties& p,
                                  const FontDesc& ambientFont);
FolderBrowserProperties readFolderBrowserProperties(const PropertyBag& bag,
                                                    const FontDesc& ambientFont);

}  // namespace replybar::controls
