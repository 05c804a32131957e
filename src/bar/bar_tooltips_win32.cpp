#include "bar/bar_tooltips_win32.h"

#include <commctrl.h>
#include <windowsx.h>

#include <string>

#include "bar/startup.h"
#include "fill/fill_fields.h"
#include "win/interface_win32.h"

namespace replybar {

namespace {

constexpr UINT_PTR kButtonToolBase = 1;  // tooltip ids of the buttons: 1 + button
constexpr UINT_PTR kRowToolBase = 100;   // tooltip ids of the rows: 100 + row
constexpr UINT_PTR kTabToolBase = 200;   // tooltip ids of the group tabs: 200 + tab
constexpr int kTabTools = 64;            // more tabs than fit the strip's lines
constexpr int kNamedButtons = 2;         // Show Desktop and the home page
// A tooltip shows at most this much of its reply: a reply of a megabyte must not make every
// hover measure all of it.
constexpr std::size_t kTipTextShown = 1000;

RECT toRect(const PxRect& r) { return {r.left, r.top, r.right, r.bottom}; }

std::wstring tipOf(const std::wstring& text) {
    std::wstring tip = text.substr(0, kTipTextShown);
    while (!tip.empty() && (tip.back() == L'\n' || tip.back() == L'\r')) tip.pop_back();
    if (text.size() > kTipTextShown) tip += L"…";
    return tip;
}

}  // namespace

void BarTooltips::create(HWND bar, std::function<std::wstring(const std::wstring&)> preview) {
    bar_ = bar;
    preview_ = std::move(preview);
    tips_ = win::createTooltipWindow(bar);
    // Multi-line replies keep their line breaks in the tip.
    ::SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, 400);
    ::SendMessageW(tips_, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
    // The bar hands the tips its mouse messages itself (relay): a subclass would put every
    // message of the bar, the hotkey's and the panel's moves among them, through two look-ups.
    const wchar_t* names[kNamedButtons] = {L"显示桌面", L"打开IE浏览器"};
    for (int b = 0; b < kNamedButtons; ++b)
        win::addTool(tips_, bar, kButtonToolBase + b, 0,
                     toRect(BarController::buttonRect(static_cast<BarButton>(b))), names[b]);
    for (int row = 0; row < kReplyRows; ++row)
        win::addTool(tips_, bar, kRowToolBase + row, 0, RECT{}, L"");
    for (int tab = 0; tab < kTabTools; ++tab)
        win::addTool(tips_, bar, kTabToolBase + tab, 0, RECT{}, L"");
}

void BarTooltips::relay(UINT msg, WPARAM wp, LPARAM lp) {
    if (!tips_ || msg < WM_MOUSEFIRST || msg > WM_MBUTTONUP) return;
    MSG m{bar_, msg, wp, lp, static_cast<DWORD>(::GetMessageTime()), {}};
    const DWORD at = ::GetMessagePos();
    m.pt = {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    ::SendMessageW(tips_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
}

// A tab whose caption cuts its group's name has the whole name as its tip; « and » say where
// they go.
void BarTooltips::updateTabs(const ReplyPanel& panel) {
    const auto& tabs = panel.tabs().tabs;
    const bool shown = panel.isOpen() && panel.hasTabs() && !panel.searching();
    const PxRect area = panel.panelRect();
    for (int i = 0; i < kTabTools; ++i) {
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = bar_;
        ti.uId = kTabToolBase + i;
        std::wstring tip;
        if (shown && i < static_cast<int>(tabs.size())) {
            const PanelTab& tab = tabs[static_cast<std::size_t>(i)];
            tip = tab.kind == PanelTab::EarlierGroups ? L"前面的分组"
                  : tab.kind == PanelTab::LaterGroups ? L"后面的分组"
                                                      : tab.fullName;
            if (!tip.empty()) {
                ti.rect = toRect(tab.rect);
                ::OffsetRect(&ti.rect, area.left, area.top + panel.tabsTopPx());
            }
        }
        ::SendMessageW(tips_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
        ti.lpszText = tip.data();
        ::SendMessageW(tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

void BarTooltips::update(const ReplyPanel& panel) {
    if (!tips_) return;
    const PxPoint face = panel.faceOrigin();
    const PxRect area = panel.panelRect();
    const Layout layout{panel.isOpen(),        face,
                        area,                  panel.rowCount(),
                        panel.rowsPerColumn(), panel.shownGroup(),
                        panel.shownPage(),     panel.tabStripPx(),
                        panel.query()};
    if (!stale_ && layout == layout_) return;
    stale_ = false;
    layout_ = layout;
    for (int b = 0; b < kNamedButtons; ++b) {
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = bar_;
        ti.uId = kButtonToolBase + b;
        ti.rect = toRect(BarController::buttonRect(static_cast<BarButton>(b)));
        ::OffsetRect(&ti.rect, face.x, face.y);
        ::SendMessageW(tips_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    const int rows = layout.open ? layout.rows : 0;
    for (int row = 0; row < kReplyRows; ++row) {
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = bar_;
        ti.uId = kRowToolBase + row;
        std::wstring tip;
        rowReplies_[static_cast<std::size_t>(row)].clear();
        if (row < rows) {
            ti.rect = toRect(toPixels(rowTextRect(row, layout.rowsPerColumn)));
            ::OffsetRect(&ti.rect, area.left, area.top + layout.strip);
            const std::wstring& text = panel.shownReply(row)->fullText;
            // A reply with fields is filled in as its tip shows: the clipboard and the time
            // of that moment.
            if (fill::hasFields(text))
                rowReplies_[static_cast<std::size_t>(row)] = text;
            else
                tip = tipOf(text);
        }
        ::SendMessageW(tips_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
        ti.lpszText = rowReplies_[static_cast<std::size_t>(row)].empty() ? tip.data()
                                                                          : LPSTR_TEXTCALLBACKW;
        ::SendMessageW(tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    updateTabs(panel);
}

bool BarTooltips::notify(const NMHDR& header) {
    if (header.hwndFrom != tips_ || header.code != TTN_GETDISPINFOW) return false;
    const UINT_PTR row = header.idFrom - kRowToolBase;
    if (header.idFrom < kRowToolBase || row >= rowReplies_.size() || rowReplies_[row].empty())
        return false;
    shown_ = tipOf(preview_(rowReplies_[row]));
    auto& info = *reinterpret_cast<NMTTDISPINFOW*>(const_cast<NMHDR*>(&header));
    info.lpszText = shown_.data();
    return true;
}

}  // namespace replybar
