#include "bar/bar_painter_win32.h"

#include <algorithm>

#include "panel/panel_texts.h"
#include "win/interface_win32.h"

namespace replybar {

namespace {

// A row shows at most this much of its reply: a reply of a megabyte must not make every paint
// measure all of it.
constexpr std::size_t kRowTextShown = 300;
constexpr COLORREF kIconStripColour = RGB(219, 216, 209);
constexpr int kKeyGap = 4;  // pixels between a row's key and its text
constexpr COLORREF kBandFill = RGB(182, 189, 210), kBandEdge = RGB(10, 36, 106);

// `picture` made anew, `width` by `height`, when there is none or its size is not that.
void fitPicture(win::UniqueBitmap& picture, HDC dc, int width, int height, bool sameSize) {
    if (!picture || !sameSize) picture.reset(::CreateCompatibleBitmap(dc, width, height));
}

RECT pixelRect(const TwipRect& t) {
    const PxRect p = toPixels(t);
    return {p.left, p.top, p.right, p.bottom};
}

}  // namespace

void BarPainter::paint(HWND bar, const BarController& controller,
                       const win::BarPictures& pictures) {
    win::PaintDc paint(bar);
    const ReplyPanel& panel = controller.panel();
    if (!panel.isOpen()) return paintFace(paint.get(), controller, pictures);
    // The panel's picture and the face's pictures cover all of the window's region between
    // them, and nothing is drawn twice, so nothing flickers.
    const PxRect area = panel.panelRect();
    const int w = area.right - area.left, h = area.bottom - area.top;
    // The panel is drawn once for what it shows and copied from then on: most openings
    // show exactly what the last one did, and the copy is what puts it on screen at once.
    PanelLook look{w,
                   h,
                   panel.rowCount(),
                   panel.rowsPerColumn(),
                   panel.shownGroup(),
                   panel.shownPage(),
                   panel.bandRect(),
                   L"",
                   panel.query(),
                   repliesVersion_};
    for (int row = 0; row < look.rows; ++row) look.keys += panel.rowKeyLabel(row) + L"|";
    look.keys += panel.keysNotice();
    if (!panelPicture_ || look != panelLook_) {
        fitPicture(panelPicture_, paint.get(), w, h,
                   look.width == panelLook_.width && look.height == panelLook_.height);
        win::UniqueDc draw(::CreateCompatibleDC(paint.get()));
        win::SelectGuard drawSel(draw.get(), panelPicture_.get());
        paintPanel(draw.get(), panel, pictures);
        panelLook_ = look;
        ++panelDrawn_;
    }
    // The panel and the face together in one picture, put on screen by one copy.
    RECT client{};
    ::GetClientRect(bar, &client);
    WindowLook window{client.right, client.bottom, area, controller.faceOrigin(), {}, panelDrawn_};
    for (int b = 0; b < win::kButtonCount; ++b)
        window.buttons[b] = static_cast<int>(controller.picture(static_cast<BarButton>(b)));
    if (!windowPicture_ || window != windowLook_) {
        fitPicture(windowPicture_, paint.get(), window.width, window.height,
                   window.width == windowLook_.width && window.height == windowLook_.height);
        win::UniqueDc draw(::CreateCompatibleDC(paint.get()));
        win::SelectGuard drawSel(draw.get(), windowPicture_.get());
        win::drawBitmap(draw.get(), panelPicture_.get(), area.left, area.top);
        paintFace(draw.get(), controller, pictures);
        windowLook_ = window;
    }
    win::drawBitmap(paint.get(), windowPicture_.get(), 0, 0);
}

void BarPainter::paintFace(HDC dc, const BarController& controller,
                           const win::BarPictures& pictures) {
    const PxPoint face = controller.faceOrigin();
    win::drawBitmap(dc, pictures.skin.get(), face.x, face.y);
    for (int b = 0; b < win::kButtonCount; ++b) {
        const PxRect r = BarController::buttonRect(static_cast<BarButton>(b));
        const int pic = static_cast<int>(controller.picture(static_cast<BarButton>(b)));
        win::drawBitmap(dc, pictures.buttons[b][pic].get(), face.x + r.left, face.y + r.top);
    }
}

// The rows over the icon strip, the highlight band beneath text and icon; a tall panel in
// columns, each with its strip. Drawn at the top left of `dc`, in the panel's own coordinates.
void BarPainter::paintPanel(HDC dc, const ReplyPanel& panel,
                            const win::BarPictures& pictures) {
    const PxRect rect = panel.panelRect();
    const int saved = ::SaveDC(dc);
    RECT area{0, 0, rect.right - rect.left, rect.bottom - rect.top};
    ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_WINDOW));
    if (!rowFont_) rowFont_ = win::makeInterfaceFont();
    // The group tabs on top; the rows below them are drawn as in a panel without tabs.
    if (const int strip = panel.tabStripPx(); strip > 0) {
        // The strip in the dialog colour with a line beneath, the tabs or the search on it.
        RECT all{0, 0, area.right, strip};
        ::FillRect(dc, &all, ::GetSysColorBrush(COLOR_BTNFACE));
        win::SelectGuard font(dc, rowFont_.get());
        ::SetBkMode(dc, TRANSPARENT);
        win::UniquePen edge(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW)));
        win::SelectGuard pen(dc, edge.get());
        ::MoveToEx(dc, 0, strip - 1, nullptr);
        ::LineTo(dc, area.right, strip - 1);
        if (panel.tabsTopPx() > 0) paintKeysNotice(dc, panel, area.right);
        ::SetViewportOrgEx(dc, 0, panel.tabsTopPx(), nullptr);
        if (panel.searching())
            paintSearchLine(dc, panel, area.right);
        else
            paintTabs(dc, panel);
        ::SetViewportOrgEx(dc, 0, strip, nullptr);
    }
    win::UniqueBrush stripBrush(::CreateSolidBrush(kIconStripColour));
    const int perColumn = panel.rowsPerColumn();
    const int columns = columnsFor(panel.rowCount(), perColumn);
    for (int c = 0; c < columns; ++c) {
        TwipRect s = kIconStrip;
        s.left += c * kPanelWidth;
        const RECT strip = pixelRect(s);
        ::FillRect(dc, &strip, stripBrush.get());
    }
    if (const auto band = panel.bandRect()) {
        win::UniqueBrush fill(::CreateSolidBrush(kBandFill));
        win::UniquePen edge(::CreatePen(PS_SOLID, 1, kBandEdge));
        win::SelectGuard b(dc, fill.get());
        win::SelectGuard p(dc, edge.get());
        ::Rectangle(dc, band->left, band->top, band->right, band->bottom);
    }
    win::SelectGuard font(dc, rowFont_.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    // In keyboard mode each keyed row starts with its key, the text moved right by one column
    // wide enough for the widest key.
    int keyColumn = 0;
    if (panel.keyboardMode()) {
        SIZE widest{};
        ::GetTextExtentPoint32W(dc, L"W", 1, &widest);
        keyColumn = widest.cx + kKeyGap;
    }
    for (int row = 0; row < panel.rowCount(); ++row) {
        const Reply& r = *panel.shownReply(row);
        const RECT ic = pixelRect(rowIconRect(row, perColumn));
        if (r.icon >= 0 && r.icon < 10 && pictures.classIcons[r.icon])
            ::DrawIconEx(dc, ic.left, ic.top, pictures.classIcons[r.icon].get(), 16, 16, 0, nullptr,
                         DI_NORMAL);
        RECT t = pixelRect(rowTextRect(row, perColumn));
        if (keyColumn) {
            const std::wstring key = panel.rowKeyLabel(row);
            RECT k = t;
            k.right = k.left + keyColumn;
            ::DrawTextW(dc, key.c_str(), static_cast<int>(key.size()), &k,
                        DT_SINGLELINE | DT_NOPREFIX | DT_TOP | DT_CENTER);
            t.left += keyColumn;
        }
        ::DrawTextW(dc, r.displayText.c_str(),
                    static_cast<int>(std::min(r.displayText.size(), kRowTextShown)), &t,
                    DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_TOP | DT_LEFT);
    }
    ::RestoreDC(dc, saved);
}

// The letters typed, on the strip where the tabs were; how to go back at its right, in grey.
void BarPainter::paintSearchLine(HDC dc, const ReplyPanel& panel, int width) {
    const int strip = kTabLineHeightPx;
    const std::wstring text = texts::kSearchLine + panel.query() +
                              (panel.rowCount() == 0 ? texts::kSearchFoundNothing : L"");
    RECT t{kTabTextPaddingPx, 0, width - kTabTextPaddingPx, strip};
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t,
                DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_VCENTER | DT_END_ELLIPSIS);
    const std::wstring hint = texts::kSearchKeysHint;
    ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
    ::DrawTextW(dc, hint.c_str(), static_cast<int>(hint.size()), &t,
                DT_SINGLELINE | DT_NOPREFIX | DT_RIGHT | DT_VCENTER);
}

// Which keys another program holds, in grey on the strip's first line: they do nothing here.
void BarPainter::paintKeysNotice(HDC dc, const ReplyPanel& panel, int width) {
    const std::wstring& text = panel.keysNotice();
    RECT t{kTabTextPaddingPx, 0, width - kTabTextPaddingPx, kTabLineHeightPx};
    ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t,
                DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_VCENTER | DT_END_ELLIPSIS);
}

// The shown group's tab raised in the panel's colour and open towards the rows, the others flat
// with a line beneath; the page buttons at the end.
void BarPainter::paintTabs(HDC dc, const ReplyPanel& panel) {
    for (const PanelTab& tab : panel.tabs().tabs) {
        RECT r{tab.rect.left, tab.rect.top, tab.rect.right, tab.rect.bottom};
        const bool shown = tab.kind == PanelTab::Group && tab.index == panel.shownGroup();
        if (shown) {
            RECT face{r.left + 1, r.top + 2, r.right - 1, r.bottom};
            ::FillRect(dc, &face, ::GetSysColorBrush(COLOR_WINDOW));
            ::MoveToEx(dc, r.left, r.bottom - 1, nullptr);
            ::LineTo(dc, r.left, r.top + 2);
            ::LineTo(dc, r.right - 1, r.top + 2);
            ::LineTo(dc, r.right - 1, r.bottom);
        } else if (tab.kind != PanelTab::PageNumber) {
            ::MoveToEx(dc, r.right - 1, r.top + 5, nullptr);
            ::LineTo(dc, r.right - 1, r.bottom - 4);
        }
        ::SetTextColor(dc, ::GetSysColor(tab.kind == PanelTab::PageNumber ? COLOR_GRAYTEXT
                                                                           : COLOR_BTNTEXT));
        r.top += 3;
        ::DrawTextW(dc, tab.caption.c_str(), static_cast<int>(tab.caption.size()), &r,
                    DT_SINGLELINE | DT_NOPREFIX | DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS);
    }
}

}  // namespace replybar
