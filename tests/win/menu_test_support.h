// Shared by the menu and launcher tests under Wine: recording ports, pixel surfaces, icons made
// to order, a throw-away folder, and a GDI object counter.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/ports.h"
#include "controls/menu_window_win32.h"
#include "controls/picture_win32.h"
#include "win/handles.h"

namespace replybar::testing {

// What the menu told its host, in order.
class RecordingMenuEvents : public menu::IMenuPointerEvents {
public:
    void itemSelected() override { log.push_back("selected"); }
    void itemLeft() override { log.push_back("left"); }
    std::vector<std::string> log;
};

class RecordingShell : public IShell {
public:
    void open(const std::wstring& target) override { opened.push_back(target); }
    std::vector<std::wstring> opened;
};

// A memory DC filled with one colour, as a menu window's DC would be.
class Surface : public menu::Canvas {
public:
    using Canvas::Canvas;
    COLORREF at(int x, int y) const { return pixel(x, y); }
};

// A 24-bit bitmap of one colour.
inline HBITMAP solidBitmap(int width, int height, COLORREF color) {
    const win::UniqueDc dc{::CreateCompatibleDC(nullptr)};
    const HBITMAP bitmap = menu::createColorImage(dc.get(), width, height);
    const win::SelectGuard use(dc.get(), bitmap);
    const RECT all{0, 0, width, height};
    const win::UniqueBrush brush{::CreateSolidBrush(color)};
    ::FillRect(dc.get(), &all, brush.get());
    return bitmap;
}

// An opaque icon of one colour.
inline HICON solidIcon(int size, COLORREF color) {
    const win::UniqueBitmap image{solidBitmap(size, size, color)};
    const std::vector<BYTE> zeros(static_cast<std::size_t>(size) * size / 8, 0);
    const win::UniqueBitmap mask{::CreateBitmap(size, size, 1, 1, zeros.data())};
    ICONINFO info{TRUE, 0, 0, mask.get(), image.get()};
    return ::CreateIconIndirect(&info);
}

inline menu::PicturePtr solidIconPicture(int size, COLORREF color) {
    return menu::OlePicture::fromIcon(solidIcon(size, color));
}

// A folder under %TEMP%, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        wchar_t base[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, base);
        path_ = std::filesystem::path(base) /
                (L"replybar-menu-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                 std::to_wstring(counter()++));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        for (const auto& e : std::filesystem::recursive_directory_iterator(path_, ignored))
            ::SetFileAttributesW(e.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove_all(path_, ignored);
    }
    // The folder as the bar keeps launchFolder: ending with a backslash.
    std::wstring withSlash() const { return path_.wstring() + L"\\"; }
    void touch(const std::wstring& name, DWORD attributes = FILE_ATTRIBUTE_NORMAL) const {
        const std::wstring p = withSlash() + name;
        const HANDLE h =
            ::CreateFileW(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
        if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    }
    void remove(const std::wstring& name) const { ::DeleteFileW((withSlash() + name).c_str()); }
    void mkdir(const std::wstring& name) const {
        ::CreateDirectoryW((withSlash() + name).c_str(), nullptr);
    }

private:
    static int& counter() {
        static int n = 0;
        return n;
    }
    std::filesystem::path path_;
};

// Live GDI objects of this process. Wine answers GetGuiResources with 0; there the slots of its
// handle table are counted instead (a handle whose high word is 0 matches any generation).
inline int gdiObjectCount() {
    if (const DWORD n = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS))
        return static_cast<int>(n);
    int count = 0;
    for (LONG i = 1; i < 0x10000; ++i)
        if (::GetObjectType(::LongToHandle(i))) ++count;
    return count;
}

}  // namespace replybar::testing
