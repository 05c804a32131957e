// The panel's content and place: its groups, pages and search results, where it lies, and what
// lies under a point of it. The pointer and the keys are in reply_panel_input.cpp.
#include "panel/reply_panel.h"

#include <algorithm>

namespace replybar {

namespace {
constexpr unsigned kPollMs = 500;
}  // namespace

ReplyPanel::ReplyPanel(const Replies& own, Ports ports)
    : own_(own), ports_(ports), keyboard_(ports.hotkeys, &ports.keys) {}

// --- what it shows ---------------------------------------------------------------------------

int ReplyPanel::groupCount() const { return 1 + (team_ ? static_cast<int>(team_->size()) : 0); }

int ReplyPanel::pageCount() const {
    const int total = static_cast<int>(rowsOf(group_).size());
    return std::max(1, (total + kReplyRows - 1) / kReplyRows);
}

int ReplyPanel::rowCount() const {
    if (searching()) return static_cast<int>(found_.size());
    const int total = static_cast<int>(rowsOf(group_).size());
    return std::clamp(total - page_ * kReplyRows, 0, kReplyRows);
}

const Reply* ReplyPanel::shownReply(int row) const {
    if (row < 0 || row >= rowCount()) return nullptr;
    const Place p = shownPlace(row);
    return &rowsOf(p.group)[static_cast<std::size_t>(p.index)];
}

ReplyPanel::Place ReplyPanel::shownPlace(int row) const {
    if (searching()) return found_[static_cast<std::size_t>(row)];
    return {group_, page_ * kReplyRows + row};
}

const ReplyGroup* ReplyPanel::teamGroup(int group) const {
    if (group <= 0 || group >= groupCount()) return nullptr;
    return &(*team_)[static_cast<std::size_t>(group - 1)];
}

const std::vector<Reply>& ReplyPanel::rowsOf(int group) const {
    const ReplyGroup* team = teamGroup(group);
    return team ? team->rows : own_.rows;
}

std::wstring ReplyPanel::groupKey(int group) const {
    const ReplyGroup* team = teamGroup(group);
    return team ? team->name : L"";
}

const PanelTab* ReplyPanel::tabOf(int index) const {
    if (index < 0 || index >= static_cast<int>(tabs_.tabs.size())) return nullptr;
    return &tabs_.tabs[static_cast<std::size_t>(index)];
}

PanelChoice ReplyPanel::choiceOf(int row, std::uintptr_t window) const {
    const Place place = shownPlace(row);
    return {*shownReply(row), place.group, place.index, groupKey(place.group), window};
}

bool ReplyPanel::anyReplies() const {
    if (own_.count() > 0) return true;
    if (team_)
        for (const ReplyGroup& g : *team_)
            if (!g.rows.empty()) return true;
    return false;
}

void ReplyPanel::showAGroupWithReplies() {
    if (rowCount() > 0) return;
    for (int g = 0; g < groupCount(); ++g) {
        group_ = g;
        page_ = 0;
        if (rowCount() > 0) return;
    }
}

void ReplyPanel::setTeamGroups(TeamGroups groups) {
    team_ = std::move(groups);
    items_.clear();  // a search's items name places in the groups that were
    contentChanged();
}

void ReplyPanel::showGroup(int group) {
    const int n = groupCount();
    group = ((group % n) + n) % n;
    if (group == group_ && page_ == 0) return;
    group_ = group;
    page_ = 0;
    contentChanged();
}

void ReplyPanel::showPage(int page) {
    const int n = pageCount();
    page = ((page % n) + n) % n;
    if (page == page_) return;
    page_ = page;
    contentChanged();
}

// Another version of the groups, another group or page, or another search: the rows, the keys
// and the place follow. A press already made keeps the reply it was made on.
void ReplyPanel::contentChanged() {
    if (searching()) runSearch();
    if (group_ >= groupCount()) group_ = 0;
    if (page_ >= pageCount()) page_ = 0;
    if (!open_) return;
    hoverRow_.reset();
    bandRow_ = -1;
    keyboard_.setGroupKeys(hasTabs());
    keyboard_.changeRows(rowCount());
    if (keyboard_.active()) bandRow_ = keyboard_.highlight().value_or(-1);
    layOut({layout_.window.left + layout_.face.left, layout_.window.top + layout_.face.top,
            layout_.window.left + layout_.face.right, layout_.window.top + layout_.face.bottom});
}

// --- the search ------------------------------------------------------------------------------

// Every reply of every group, once per search: the letters typed after the first only search.
void ReplyPanel::runSearch() {
    if (items_.empty())
        for (int g = 0; g < groupCount(); ++g) {
            const std::wstring key = groupKey(g);
            const std::vector<Reply>& rows = rowsOf(g);
            for (std::size_t i = 0; i < rows.size(); ++i)
                items_.push_back({g, static_cast<int>(i), rows[i].fullText,
                                  history_ ? history_->lastPicked(key, rows[i].fullText) : 0});
        }
    found_.clear();
    for (const std::size_t i : searchReplies(query_, items_, kReplyRows))
        found_.push_back({items_[i].group, items_[i].index});
}

void ReplyPanel::searchChanged() {
    if (!searching()) found_.clear();
    contentChanged();
}

void ReplyPanel::endSearch() {
    query_.clear();
    found_.clear();
    items_.clear();
}

// --- its place -------------------------------------------------------------------------------

// The user's own first page keeps the size the editor set; any other page is as tall as its rows.
// With tabs or a search the panel is at least one column wide, so the strip has its room.
PanelSize ReplyPanel::rowsSize() const {
    PanelSize s = group_ == 0 && page_ == 0 && !searching() ? ownSize_ : panelSizeFor(rowCount());
    if (tabStripPx() > 0) s.width = std::max(s.width, kPanelWidth);
    return s;
}

int ReplyPanel::tabStripPx() const {
    if (searching()) return tabsTopPx() + kTabLineHeightPx;  // the search's letters, one line
    return tabsTopPx() + (hasTabs() ? tabs_.heightPx() : 0);
}

// The one place the panel is laid out: the tabs, the rows and the window around the face.
void ReplyPanel::layOut(const PxRect& face) {
    tabs_ = {};
    if (hasTabs() && !searching()) {
        std::vector<std::wstring> names;
        for (const ReplyGroup& g : *team_) names.push_back(g.name);
        tabs_ = layoutPanelTabs(names, twipsToPixels(kPanelWidth), page_, pageCount(), group_);
    }
    layout_ = layoutReplyPanel(face, rowCount(), rowsSize(), ports_.window.workArea(),
                               tabStripPx());
    ports_.window.setBounds(layout_.window);
    ports_.window.setRegion(panelRegion(layout_));
    ports_.window.invalidate();
}

void ReplyPanel::open(const PxRect& face) {
    showAGroupWithReplies();
    if (page_ >= pageCount()) page_ = 0;
    open_ = true;  // the window's moves from here on are the open panel's
    bandRow_ = -1;
    tabHover_.reset();
    layOut(face);
    ports_.timers.enable(TimerId::PanelPointerPoll, kPollMs);
}

void ReplyPanel::close() {
    if (!open_) return;
    // Whatever closes the panel gives the panel's keys back, but for a pick by key that is
    // still going out: they stay the bar's until its send key is out.
    if (!keyboard_.picking()) keyboard_.end(KeyboardModeEnd::ClickedElsewhere);
    endSearch();
    keysNotice_.clear();
    pressed_.reset();
    // Wherever the window is now: something else may have moved it while the panel was open.
    const PxRect& w = layout_.window;
    const PxRect face{w.left + layout_.face.left, w.top + layout_.face.top,
                      w.left + layout_.face.left + kBarFaceWidthPx,
                      w.top + layout_.face.top + kBarFaceHeightPx};
    open_ = false;
    ports_.window.setBounds(face);
    // The panel's shape does not fit the bar alone: a panel that opened below the bar or
    // shifted left would leave a region that misses the face, and the bar invisible and
    // unclickable.
    ports_.window.setRegion({});
    ports_.timers.disable(TimerId::PanelPointerPoll);
    ports_.window.invalidate();
    ports_.events.panelClosed(face);
}

PxPoint ReplyPanel::faceOrigin() const {
    if (!open_) return {};
    return {layout_.face.left, layout_.face.top};
}

PxRect ReplyPanel::panelRect() const {
    if (!open_) return {0, 0, twipsToPixels(ownSize_.width), 0};
    return layout_.panel;
}

std::optional<PxRect> ReplyPanel::bandRect() const {
    if (!open_ || bandRow_ < 0) return std::nullopt;
    return toPixels(highlightBand(bandRow_, layout_.rowsPerColumn, kPanelWidth));
}

// The panel's part of the window: nothing outside the rows' height, the face's own part.
Target ReplyPanel::hitTest(int x, int y) const {
    const PxRect& p = layout_.panel;
    if (!open_ || y < p.top || y >= p.bottom || x < p.left || x >= p.right) return {};
    const int strip = tabStripPx();
    if (y < p.top + strip) {
        const int tabsTop = p.top + tabsTopPx();
        const PanelTab* tab =
            searching() || y < tabsTop ? nullptr : tabAt(tabs_, x - p.left, y - tabsTop);
        return {Target::Tab, tab ? static_cast<int>(tab - tabs_.tabs.data()) : -1};
    }
    const RowHit hit = hitTestRow((x - p.left) * kTwipsPerPixel,
                                  (y - p.top - strip) * kTwipsPerPixel, rowCount(),
                                  layout_.rowsPerColumn);
    switch (hit.part) {
        case RowPart::Text: return {Target::RowText, hit.row};
        case RowPart::Icon: return {Target::RowIcon, hit.row};
        case RowPart::None: break;
    }
    return {Target::PanelBackground, 0};
}

}  // namespace replybar
