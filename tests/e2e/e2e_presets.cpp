// Draws the same few items in each appearance preset, side by side, through the menu window's
// real WM_MEASUREITEM and WM_DRAWITEM, and writes the sheet as a .bmp for the e2e screenshots.
//   e2e_presets OUT.bmp
#include <windows.h>

#include <cstdio>
#include <vector>

#include "controls/launch_map.h"
#include "controls/owner_drawn_menu_win32.h"
#include "controls/picture_win32.h"

using namespace replybar;

namespace {

struct NoShell : IShell {
    void open(const std::wstring&) override {}
};

HICON squareIcon(COLORREF color) {
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP image = ::CreateCompatibleBitmap(screen, 16, 16);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, image);
    RECT all{0, 0, 16, 16}, inner{2, 2, 14, 14};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    HBRUSH b = ::CreateSolidBrush(color);
    ::FillRect(dc, &inner, b);
    ::DeleteObject(b);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    std::vector<BYTE> mask(32, 0);
    HBITMAP m = ::CreateBitmap(16, 16, 1, 1, mask.data());
    ICONINFO info{TRUE, 0, 0, m, image};
    HICON icon = ::CreateIconIndirect(&info);
    ::DeleteObject(m);
    ::DeleteObject(image);
    return icon;
}

bool writeBmp(const wchar_t* path, HDC dc, HBITMAP bmp, int w, int h) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const int stride = (w * 3 + 3) & ~3;
    std::vector<BYTE> bits(static_cast<size_t>(stride) * h);
    ::GetDIBits(dc, bmp, 0, h, bits.data(), &bi, DIB_RGB_COLORS);
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof(BITMAPINFOHEADER);
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(bits.size());
    FILE* f = _wfopen(path, L"wb");
    if (!f) return false;
    fwrite(&fh, sizeof fh, 1, f);
    fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f);
    fwrite(bits.data(), 1, bits.size(), f);
    fclose(f);
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    ::CoInitialize(nullptr);
    launch::LaunchEntries entries;
    NoShell shell;
    // The left bar of preset 4: a blue-to-white band, as the program's own picture would be.
    HDC screen = ::GetDC(nullptr);
    HBITMAP band = ::CreateCompatibleBitmap(screen, 20, 1024);
    HDC bandDc = ::CreateCompatibleDC(screen);
    HGDIOBJ oldBand = ::SelectObject(bandDc, band);
    for (int y = 0; y < 1024; ++y) {
        RECT row{0, y, 20, y + 1};
        HBRUSH b = ::CreateSolidBrush(RGB(30 + y / 8, 60 + y / 8, 200));
        ::FillRect(bandDc, &row, b);
        ::DeleteObject(b);
    }
    ::SelectObject(bandDc, oldBand);
    ::DeleteDC(bandDc);
    const menu::PicturePtr bandPicture = menu::OlePicture::fromBitmap(band);
    menu::MenuHost host{&entries, nullptr, &shell, [] {}, [bandPicture] { return bandPicture; }};

    struct Item {
        const wchar_t* text;
        COLORREF icon;
        std::int32_t type, state;
        bool selected;
    };
    const Item items[] = {{L"记事本", RGB(40, 90, 200), 0, 0, false},
                          {L"浏览网页", RGB(40, 160, 60), 0, 0, true},
                          {L"", 0, 0x800, 0, false},
                          {L"已停用的项", RGB(200, 60, 40), 0, 3, false},
                          {L"勾选项", RGB(230, 180, 30), 0x200, 8, false},
                          {L"README.txt", RGB(120, 120, 120), 0, 0, false}};
    const int columnW = 160, gap = 10, n = sizeof items / sizeof items[0];
    const int cy = ::GetSystemMetrics(SM_CYMENU);
    const int height = 5 * cy + 6 + 8;
    const int width = 5 * (columnW + gap) + gap;
    HDC sheet = ::CreateCompatibleDC(screen);
    HBITMAP sheetBmp = ::CreateCompatibleBitmap(screen, width, height);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ oldSheet = ::SelectObject(sheet, sheetBmp);
    RECT all{0, 0, width, height};
    ::FillRect(sheet, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    HGDIOBJ oldFont = ::SelectObject(sheet, font);

    for (int style = 0; style < 5; ++style) {
        menu::OwnerDrawnMenu m(host);
        m.CreateMenu();
        for (int i = 0; i < n; ++i)
            m.AddItem(
                L"item" + std::to_wstring(i),
                items[i].icon ? menu::OlePicture::fromIcon(squareIcon(items[i].icon)) : nullptr,
                items[i].text, items[i].type, items[i].state);
        m.Style(style);
        HWND owner = menu::menuOwnerWindow();
        // The menu window's own background, where the items leave it showing.
        const RECT column{gap + style * (columnW + gap), 4, gap + style * (columnW + gap) + columnW,
                          height - 4};
        ::FillRect(sheet, &column, ::GetSysColorBrush(COLOR_MENU));
        int top = 4;
        for (int i = 0; i < n; ++i) {
            MEASUREITEMSTRUCT mi{ODT_MENU, 0, static_cast<UINT>(i), 0, 0, 0};
            ::SendMessageW(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mi));
            // Each column is drawn in its own coordinates, as the menu window's client area.
            const int left = gap + style * (columnW + gap);
            ::SetViewportOrgEx(sheet, left, 0, nullptr);
            DRAWITEMSTRUCT di{};
            di.CtlType = ODT_MENU;
            di.itemID = static_cast<UINT>(i);
            di.itemAction = ODA_DRAWENTIRE;
            di.itemState = items[i].selected ? ODS_SELECTED : 0;
            di.hwndItem = reinterpret_cast<HWND>(m.hwnd());
            di.hDC = sheet;
            di.rcItem = {0, top, columnW, top + static_cast<int>(mi.itemHeight)};
            ::SendMessageW(owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&di));
            ::SetViewportOrgEx(sheet, 0, 0, nullptr);
            top += static_cast<int>(mi.itemHeight);
        }
    }
    ::SelectObject(sheet, oldFont);
    ::SelectObject(sheet, oldSheet);
    const bool ok = writeBmp(argv[1], sheet, sheetBmp, width, height);
    ::DeleteObject(sheetBmp);
    ::DeleteDC(sheet);
    ::CoUninitialize();
    return ok ? 0 : 1;
}
