// FolderBrowser: a text box that holds a folder path and a "设置" button
// that picks the folder with the system's folder dialog. Every property is the text box's; a host
// uses the control like a text box.
//
// The control keeps its whole interface, properties, Change event and property bag included. The
// settings dialog relies on one part of it: the constructor, Text (read and set) and textBox(),
// which it focuses.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <set>
#include <string>

#include "controls/folder_browser.h"
#include "win/handles.h"

namespace replybar::controls {

class FolderBrowser {
public:
    // A child of `parent` at `pixels`, with `id` as its control id; `ambientFont` is the
    // host's font, which the text box shows until Font is set.
    FolderBrowser(HWND parent, int id, const RECT& pixels, HFONT ambientFont);
    ~FolderBrowser();
    FolderBrowser(const FolderBrowser&) = delete;
    FolderBrowser& operator=(const FolderBrowser&) = delete;

    HWND hwnd() const { return hwnd_; }
    HWND textBox() const { return edit_; }
    HWND browseButton() const { return browseButton_; }

    // Raised whenever the text box's text changes: typing, browsing or the Text setter.
    std::function<void()> Change;

    std::uint32_t BackColor() const { return backColor_; }
    void BackColor(std::uint32_t value);
    std::uint32_t ForeColor() const { return foreColor_; }
    void ForeColor(std::uint32_t value);
    bool Enabled() const;
    void Enabled(bool value);
    HFONT Font() const { return font_; }
    void Font(HFONT value);  // by reference: the caller keeps the font alive
    void Refresh();
    bool Locked() const;
    void Locked(bool value);
    long long SelLength() const;
    void SelLength(long long value);
    long long SelStart() const;
    void SelStart(long long value);
    std::wstring SelText() const;
    void SelText(const std::wstring& value);
    std::wstring Text() const;
    void Text(const std::wstring& value);

    // The system's folder dialog, opened at `startFolder` when that folder is there (else where
    // the system opens it); "" when the user cancels or picks no file-system folder.
    static std::wstring BrowseForFolder(HWND owner, const std::wstring& title,
                                        const std::wstring& startFolder = L"");

    // Loading and saving through a property bag, as a host form keeps its controls.
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;
    // The properties changed since the control was made, by name: what the host must save.
    const std::set<std::wstring>& changedProperties() const { return changed_; }

    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT handleChildMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, WNDPROC original);
    HWND hwnd_ = nullptr;  // set by the window-procedure thunk

private:
    // Marks the property for the host to save, by its name.
    void PropertyChanged(PropertyField field);
    void browse();
    void layout();
    void paint();
    FolderBrowserProperties properties() const;
    HBRUSH backBrush();

    HWND edit_ = nullptr, browseButton_ = nullptr;
    HFONT ambientFont_ = nullptr, font_ = nullptr;
    win::UniqueFont ownFont_;  // a font made from a property bag
    std::uint32_t backColor_ = FolderBrowserProperties{}.BackColor;
    std::uint32_t foreColor_ = FolderBrowserProperties{}.ForeColor;
    win::UniqueBrush backBrush_;
    std::set<std::wstring> changed_;
};

// A font's description and back, at the screen's resolution.
FontDesc fontDescOf(HFONT font);
HFONT createFont(const FontDesc& desc);

}  // namespace replybar::controls
