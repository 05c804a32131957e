#include "controls/folder_browser.h"

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

const std::array<PropertyInfo, 9> kFolderBrowserProperties = {{
    {L"BackColor",
     L"Returns/sets the background color used to display text and graphics in an object."},
    {L"ForeColor",
     L"Returns/sets the foreground color used to display text and graphics in an object."},
    {L"Enabled",
     L"Returns/sets a value that determines whether an object can respond to user-generated "
     L"events."},
    {L"Font", L"Returns a Font object."},
    {L"Locked", L"Determines whether a control can be edited."},
    {L"SelLength", L"Returns/sets the number of characters selected."},
    {L"SelStart", L"Returns/sets the starting point of text selected."},
    {L"SelText", L"Returns/sets the string containing the currently selected text."},
    {L"Text", L"Returns/sets the text contained in the control."},
}};

void writeFolderBrowserProperties(PropertyBag& bag, const FolderBrowserProperties& p,
                                  const FontDesc& ambientFont) {
    const FolderBrowserProperties d;
    bag.WriteProperty<long long>(L"BackColor", p.BackColor, d.BackColor);
    bag.WriteProperty<long long>(L"ForeColor", p.ForeColor, d.ForeColor);
    bag.WriteProperty(L"Enabled", p.Enabled, d.Enabled);
    bag.WriteProperty(L"Font", p.Font, ambientFont);
    bag.WriteProperty(L"Locked", p.Locked, d.Locked);
    bag.WriteProperty(L"SelLength", p.SelLength, d.SelLength);
    bag.WriteProperty(L"SelStart", p.SelStart, d.SelStart);
    bag.WriteProperty(L"SelText", p.SelText, d.SelText);
    bag.WriteProperty(L"Text", p.Text, d.Text);
}

FolderBrowserProperties readFolderBrowserProperties(const PropertyBag& bag,
                                                    const FontDesc& ambientFont) {
    const FolderBrowserProperties d;
    FolderBrowserProperties p;
    p.BackColor = static_cast<std::uint32_t>(bag.ReadProperty<long long>(L"BackColor", d.BackColor));
    p.ForeColor = static_cast<std::uint32_t>(bag.ReadProperty<long long>(L"ForeColor", d.ForeColor));
    p.Enabled = bag.ReadProperty(L"Enabled", d.Enabled);
    p.Font = bag.ReadProperty(L"Font", ambientFont);
    p.Locked = bag.ReadProperty(L"Locked", d.Locked);
    p.SelLength = bag.ReadProperty(L"SelLength", d.SelLength);
    p.SelStart = bag.ReadProperty(L"SelStart", d.SelStart);
    p.SelText = bag.ReadProperty(L"SelText", d.SelText);
    p.Text = bag.ReadProperty(L"Text", d.Text);
    return p;
}

}  // namespace replybar::controls
