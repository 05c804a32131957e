#include "controls/folder_browser.h"

#include <algorithm>
#include <cassert>
#include <type_traits>

namespace replybar::controls {

FolderBrowserLayout layoutFolderBrowser(int width, int height, int buttonWidth, int tx, int ty) {
    FolderBrowserLayout l;
    l.browse = {width - buttonWidth, 0, buttonWidth, height + 7};
    l.text = {tx, ty, width - (3 * tx + buttonWidth), height};
    l.lineX = l.browse.left - tx;
    return l;
}

std::optional<std::wstring> folderTextFromBrowse(const std::wstring& path) {
    if (path.empty()) return std::nullopt;
    if (path.back() == L'\\') return path;
    return path + L'\\';
}

bool isBrowseKey(int keyCode, int shiftState) {
    return keyCode == kKeyDown && shiftState == kAltMask;
}

namespace {

using P = FolderBrowserProperties;

FolderBrowserProperties defaultsWith(const FontDesc& ambientFont) {
    FolderBrowserProperties d;
    d.Font = ambientFont;
    return d;
}

// A bag holds every whole number as a long long; a colour goes in as one.
long long bagValue(std::uint32_t colour) { return colour; }
template <typename T>
const T& bagValue(const T& value) {
    return value;
}

}  // namespace

const std::array<PropertyInfo, 9> kFolderBrowserProperties = {{
    {L"BackColor",
     L"Returns/sets the background color used to display text and graphics in an object.",
     &P::BackColor},
    {L"ForeColor",
     L"Returns/sets the foreground color used to display text and graphics in an object.",
     &P::ForeColor},
    {L"Enabled",
     L"Returns/sets a value that determines whether an object can respond to user-generated "
     L"events.",
     &P::Enabled},
    {L"Font", L"Returns a Font object.", &P::Font},
    {L"Locked", L"Determines whether a control can be edited.", &P::Locked},
    {L"SelLength", L"Returns/sets the number of characters selected.", &P::SelLength},
    {L"SelStart", L"Returns/sets the starting point of text selected.", &P::SelStart},
    {L"SelText", L"Returns/sets the string containing the currently selected text.", &P::SelText},
    {L"Text", L"Returns/sets the text contained in the control.", &P::Text},
}};

const wchar_t* propertyName(PropertyField field) {
    const auto it = std::find_if(kFolderBrowserProperties.begin(), kFolderBrowserProperties.end(),
                                 [&](const PropertyInfo& p) { return p.field == field; });
    assert(it != kFolderBrowserProperties.end() && "every field is a listed property");
    return it != kFolderBrowserProperties.end() ? it->name : L"";
}

void writeFolderBrowserProperties(PropertyBag& bag, const FolderBrowserProperties& p,
                                  const FontDesc& ambientFont) {
    const FolderBrowserProperties d = defaultsWith(ambientFont);
    for (const PropertyInfo& info : kFolderBrowserProperties) {
        std::visit(
            [&](auto field) {
                bag.WriteProperty(info.name, bagValue(p.*field), bagValue(d.*field));
            },
            info.field);
    }
}

FolderBrowserProperties readFolderBrowserProperties(const PropertyBag& bag,
                                                    const FontDesc& ambientFont) {
    const FolderBrowserProperties d = defaultsWith(ambientFont);
    FolderBrowserProperties p;
    for (const PropertyInfo& info : kFolderBrowserProperties) {
        std::visit(
            [&](auto field) {
                using T = std::remove_reference_t<decltype(p.*field)>;
                p.*field = static_cast<T>(bag.ReadProperty(info.name, bagValue(d.*field)));
            },
            info.field);
    }
    return p;
}

}  // namespace replybar::controls
