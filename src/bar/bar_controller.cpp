#include "bar/bar_controller.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "core/message_titles.h"
#include "reply/team_texts.h"

namespace replybar {

namespace {

constexpr unsigned kPollMs = 500;
constexpr std::uint64_t kTabHoverMs = 300;  // a tab the pointer rests on this long is shown

// One tick of a countdown: true when it reaches exactly 0. One that started at 0 or below runs on
// below zero and never fires.
bool countDown(int& ticksLeft) {
    if (ticksLeft > std::numeric_limits<int>::min()) --ticksLeft;
    return ticksLeft == 0;
}

}  // namespace

BarController::BarController(const Replies& replies, Ports ports,
                             const std::vector<ReplyGroup>* teamGroups)
    : replies_(replies),
      team_(teamGroups),
      ports_(ports),
      pick_({ports.clipboard, ports.keys, pickMessages_, ports.target, ports.timers, ports.clock,
             this}),
      keyboard_(ports.hotkeys, &ports.keys) {
    pictures_.fill(Picture::Normal);
}

void BarController::setWindowRect(const PxRect& r) { window_ = r; }

PxRect BarController::buttonRect(BarButton b) {
    static constexpr PxRect rects[4] = {
        {5, 4, 28, 26}, {28, 4, 51, 26}, {51, 4, 67, 26}, {76, 4, 99, 26}};
    return rects[static_cast<int>(b)];
}

int BarController::rowCount() const {
    if (searching()) return static_cast<int>(found_.size());
    const int total = static_cast<int>(rowsOf(group_).size());
    return std::clamp(total - page_ * kReplyRows, 0, kReplyRows);
}

// --- groups and pages ----------------------------------------------------------------------

int BarController::groupCount() const {
    return 1 + (team_ ? static_cast<int>(team_->size()) : 0);
}

bool BarController::hasTabs() const { return groupCount() > 1; }

int BarController::pageCount() const {
    const int total = static_cast<int>(rowsOf(group_).size());
    return std::max(1, (total + kReplyRows - 1) / kReplyRows);
}

const Reply* BarController::shownReply(int row) const {
    if (row < 0 || row >= rowCount()) return nullptr;
    const Place p = shownPlace(row);
    return &rowsOf(p.group)[static_cast<std::size_t>(p.index)];
}

BarController::Place BarController::shownPlace(int row) const {
    if (searching()) return found_[static_cast<std::size_t>(row)];
    return {group_, page_ * kReplyRows + row};
}

const ReplyGroup* BarController::teamGroup(int group) const {
    if (group <= 0 || group >= groupCount()) return nullptr;
    return &(*team_)[static_cast<std::size_t>(group - 1)];
}

const std::vector<Reply>& BarController::rowsOf(int group) const {
    const ReplyGroup* team = teamGroup(group);
    return team ? team->rows : replies_.rows;
}

std::wstring BarController::groupKey(int group) const {
    const ReplyGroup* team = teamGroup(group);
    return team ? team->name : L"";
}

int BarController::tabStripPx() const {
    if (searching()) return tabsTopPx() + kTabLineHeightPx;  // the search's letters, one line
    return tabsTopPx() + (hasTabs() ? tabs_.heightPx() : 0);
}

const PanelTab* BarController::tabOf(int index) const {
    if (index < 0 || index >= static_cast<int>(tabs_.tabs.size())) return nullptr;
    return &tabs_.tabs[static_cast<std::size_t>(index)];
}

// --- the search ------------------------------------------------------------------------------

// Every reply of every group, once per search: the letters typed after the first only search.
void BarController::runSearch() {
    if (searchItems_.empty())
        for (int g = 0; g < groupCount(); ++g) {
            const std::wstring key = groupKey(g);
            const std::vector<Reply>& rows = rowsOf(g);
            for (std::size_t i = 0; i < rows.size(); ++i)
                searchItems_.push_back({g, static_cast<int>(i), rows[i].fullText,
                                        history_ ? history_->lastPicked(key, rows[i].fullText)
                                                 : 0});
        }
    found_.clear();
    for (const std::size_t i : searchReplies(query_, searchItems_, kReplyRows))
        found_.push_back({searchItems_[i].group, searchItems_[i].index});
}

void BarController::searchChanged() {
    if (searching())
        runSearch();
    else
        found_.clear();
    keyboard_.setSearching(searching());
    keyboard_.changeRows(rowCount());
    hoverRow_.reset();
    bandRow_ = keyboard_.highlight().value_or(-1);
    relayoutPanel();
}

void BarController::endSearch() {
    query_.clear();
    found_.clear();
    searchItems_.clear();
}

// The pick of `reply`, as the user chose it, pasted into `window` or nowhere. It is told to the
// history (for the search's order) once it is over: nothing slow between the choice and the
// paste.
void BarController::startPick(const Reply& reply, const std::wstring& group,
                              std::uintptr_t window) {
    const std::wstring text = reply.fullText;
    pick_.press(text);  // ends a pick before it, which tells its own
    pickToNote_.emplace(group, text);
    pick_.release(text, replies_.autoSend, window);
}

bool BarController::anyReplies() const {
    if (replies_.count() > 0) return true;
    if (team_)
        for (const ReplyGroup& g : *team_)
            if (!g.rows.empty()) return true;
    return false;
}

void BarController::showAGroupWithReplies() {
    if (rowCount() > 0) return;
    for (int g = 0; g < groupCount(); ++g) {
        group_ = g;
        page_ = 0;
        if (rowCount() > 0) return;
    }
}

// The user's own first page keeps the size the editor set; any other page is as tall as its rows.
// With tabs or a search the panel is at least one column wide, so the strip has its room.
PanelSize BarController::rowsSize() const {
    PanelSize s = group_ == 0 && page_ == 0 && !searching() ? panelSize_ : panelSizeFor(rowCount());
    if (tabStripPx() > 0) s.width = std::max(s.width, kPanelWidth);
    return s;
}

void BarController::layoutTabs() {
    if (!hasTabs() || searching()) {
        tabs_ = {};
        return;
    }
    std::vector<std::wstring> names;
    for (const ReplyGroup& g : *team_) names.push_back(g.name);
    tabs_ = layoutPanelTabs(names, twipsToPixels(kPanelWidth), page_, pageCount(), group_);
}

void BarController::teamGroupsChanged() {
    // A search's items point into the groups that were: it starts over on the new ones.
    searchItems_.clear();
    if (searching()) runSearch();
    if (group_ >= groupCount()) group_ = 0;
    if (page_ >= pageCount()) page_ = 0;
    if (!panelOpen_) return;
    hoverRow_.reset();
    bandRow_ = -1;
    keyboard_.setGroupKeys(hasTabs());
    keyboard_.changeRows(rowCount());
    if (keyboard_.active()) bandRow_ = keyboard_.highlight().value_or(-1);
    relayoutPanel();
}

void BarController::showGroup(int group) {
    const int n = groupCount();
    group = ((group % n) + n) % n;
    if (group == group_ && page_ == 0) return;
    group_ = group;
    page_ = 0;
    teamGroupsChanged();
}

void BarController::showPage(int page) {
    const int n = pageCount();
    page = ((page % n) + n) % n;
    if (page == page_) return;
    page_ = page;
    teamGroupsChanged();
}

// The face stays where it is on the screen; the panel around it is laid out again.
void BarController::relayoutPanel() {
    const PxPoint at = faceOrigin();
    const PxRect face{window_.left + at.x, window_.top + at.y,
                      window_.left + at.x + kBarFaceWidthPx, window_.top + at.y + kBarFaceHeightPx};
    layoutTabs();
    layout_ = layoutReplyPanel(face, rowCount(), rowsSize(), ports_.window.workArea(),
                               tabStripPx());
    window_ = layout_.window;
    applyBounds();
    ports_.window.setRegion(panelRegion(layout_));
    ports_.window.invalidate();
}

void BarController::tabUp(int tab, MouseButton button) {
    const PanelTab* found = tabOf(tab);
    if (button != MouseButton::Left || !found) return;
    const PanelTab t = *found;  // showing another group lays the tabs out anew
    switch (t.kind) {
        case PanelTab::Group:
        case PanelTab::EarlierGroups:
        case PanelTab::LaterGroups: showGroup(t.index); break;
        case PanelTab::PreviousPage: showPage(page_ - 1); break;
        case PanelTab::NextPage: showPage(page_ + 1); break;
        case PanelTab::PageNumber: break;
    }
}

// A team reply cannot be changed by an agent; a right click offers to make it one of theirs,
// with its icon.
void BarController::offerCopy(const Reply& reply) {
    if (ports_.messages.show(texts::copyTeamReplyQuestion(reply.displayText),
                             texts::kCopyTeamReplyTitle, MessageKind::Question) ==
        MessageAnswer::Yes)
        ports_.actions.openReplyEditorToAdd(reply.fullText, reply.icon);
}

PxPoint BarController::faceOrigin() const {
    if (!panelOpen_) return {};
    return {layout_.face.left, layout_.face.top};
}

PxRect BarController::panelRect() const {
    if (!panelOpen_) return {0, 0, twipsToPixels(panelSize_.width), 0};
    return layout_.panel;
}

std::optional<PxRect> BarController::bandRect() const {
    if (!panelOpen_ || bandRow_ < 0) return std::nullopt;
    return toPixels(highlightBand(bandRow_, layout_.rowsPerColumn, kPanelWidth));
}

Target BarController::hitTest(int x, int y) const {
    const PxRect& p = layout_.panel;
    if (panelOpen_ && y >= p.top && y < p.bottom) {
        if (x < p.left || x >= p.right) return {};
        const int strip = tabStripPx();
        if (y < p.top + strip) {
            const int tabsTop = p.top + tabsTopPx();
            const PanelTab* tab = searching() || y < tabsTop
                                      ? nullptr
                                      : tabAt(tabs_, x - p.left, y - tabsTop);
            return {Target::Tab, tab ? static_cast<int>(tab - tabs_.tabs.data()) : -1};
        }
        const RowHit hit = hitTestRow((x - p.left) * kTwipsPerPixel,
                                      (y - p.top - strip) * kTwipsPerPixel, rowCount(),
                                      layout_.rowsPerColumn);
        switch (hit.part) {
            case RowPart::Text: return {Target::RowText, hit.row};
            case RowPart::Icon: return {Target::RowIcon, hit.row};
            case RowPart::None: return {Target::PanelBackground, 0};
        }
    }
    const PxPoint face = faceOrigin();
    x -= face.x;
    const int fy = y - face.y;
    if (x < 0 || x >= kBarFaceWidthPx || fy < 0 || fy >= kBarFaceHeightPx) return {};
    for (int b = 0; b < 4; ++b) {
        const PxRect r = buttonRect(static_cast<BarButton>(b));
        if (x >= r.left && x < r.right && fy >= r.top && fy < r.bottom) return {Target::Button, b};
    }
    return {Target::DragStrip, 0};
}

void BarController::mouseDown(const Target& t, MouseButton button, int x, int y) {
    pressConsumed_ = false;
    switch (t.kind) {
        case Target::DragStrip:
            dragStripDown(button, x - faceOrigin().x, y - faceOrigin().y);
            break;
        case Target::Button:
            if (t.index == static_cast<int>(BarButton::Reply))
                replyButtonDown(button);
            else
                buttonDown(static_cast<BarButton>(t.index), button);
            break;
        case Target::RowText:
        case Target::RowIcon: rowDown(t.index, button); break;
        case Target::PanelBackground:
            // The background answers for the row whose text was last under the pointer.
            if (hoverRow_) rowDown(*hoverRow_, button);
            break;
        case Target::Tab:
        case Target::None: break;
    }
}

void BarController::mouseMove(const Target& t, int x, int y) {
    // The move the system reports when the panel appears under a resting pointer is no move of
    // the user's; a real one hands the panel to the mouse, the key labels gone.
    if (keyboard_.active()) {
        const PxPoint p = ports_.window.cursorPos();
        if (!keyboard_.pointerMoved(p.x, p.y)) return;
        ports_.window.invalidate();
    }
    switch (t.kind) {
        case Target::DragStrip: dragStripMove(x - faceOrigin().x, y - faceOrigin().y); break;
        case Target::Button: buttonMove(static_cast<BarButton>(t.index)); break;
        case Target::RowText: rowMove(t.index, true); break;
        case Target::RowIcon: rowMove(t.index, false); break;
        case Target::Tab:
            panelCloseCountdown_ = 2;
            if (!tabOf(t.index)) break;  // the strip between tabs, or no tabs there at all
            if (tabHover_ != t.index) {
                tabHover_ = t.index;
                tabHoverSince_ = ports_.clock.milliseconds();
            }
            return;
        default: break;
    }
    tabHover_.reset();
}

void BarController::mouseUp(const Target& t, MouseButton button, int x, int y) {
    switch (t.kind) {
        case Target::DragStrip:
            dragActive_ = false;
            if (button == MouseButton::Right) ports_.actions.openSettingsDialog();
            break;
        case Target::Button:
            if (t.index == static_cast<int>(BarButton::Reply))
                replyButtonUp(button);
            else
                buttonUp(static_cast<BarButton>(t.index), button, hitTest(x, y) == t);
            break;
        case Target::RowText:
        case Target::RowIcon: rowUp(t.index, button); break;
        case Target::PanelBackground:
            // A left click picks the row, a right click opens it in the editor; the middle
            // button means nothing here.
            if (hoverRow_ && button != MouseButton::Middle)
                rowUp(*hoverRow_, button);
            break;
        case Target::Tab: tabUp(t.index, button); break;
        case Target::None: break;
    }
}

// --- drag strip --------------------------------------------------------------------------

void BarController::dragStripDown(MouseButton button, int x, int y) {
    pressState_ = PressState::DragStrip;
    if (button == MouseButton::Left) {
        dragActive_ = true;
        dragAnchorX_ = x * kTwipsPerPixel;
        dragAnchorY_ = y * kTwipsPerPixel;
    }
    if (panelOpen_) restoreBar();
}

void BarController::dragStripMove(int x, int y) {
    if (dragActive_) {
        // 32-bit twips: desktops with several monitors exceed the 16-bit range.
        const int dx = (x * kTwipsPerPixel - dragAnchorX_) / kTwipsPerPixel;
        const int dy = (y * kTwipsPerPixel - dragAnchorY_) / kTwipsPerPixel;
        if (dx || dy) {
            window_.left += dx, window_.right += dx;
            window_.top += dy, window_.bottom += dy;
            applyBounds();
        }
    }
    resetPictures({BarButton::Desktop, BarButton::Home, BarButton::Launch});
}

// --- buttons -----------------------------------------------------------------------------

void BarController::setPicture(BarButton b, Picture p) {
    Picture& cur = pictures_[static_cast<int>(b)];
    if (cur == p) return;
    cur = p;
    ports_.window.invalidate();
}

void BarController::resetPictures(std::initializer_list<BarButton> buttons) {
    for (BarButton b : buttons) setPicture(b, Picture::Normal);
}

void BarController::buttonMove(BarButton b) {
    if (pressState_ == PressState::DragStrip) setPicture(b, Picture::Hover);
    for (BarButton other :
         {BarButton::Desktop, BarButton::Home, BarButton::Launch, BarButton::Reply})
        if (other != b) setPicture(other, Picture::Normal);
}

void BarController::buttonDown(BarButton b, MouseButton button) {
    if (button == MouseButton::Left) {
        setPicture(b, Picture::Pressed);
        pressState_ = PressState::Button;
    }
    if (panelOpen_) restoreBar();
}

// As everywhere on Windows, a click slid off its button is cancelled: the action runs only when
// the release is over the button that was pressed.
void BarController::buttonUp(BarButton b, MouseButton button, bool overButton) {
    if (button != MouseButton::Left) {
        ports_.actions.openSettingsDialog();
        return;
    }
    setPicture(b, Picture::Normal);
    if (!overButton) return;
    if (b == BarButton::Launch) {
        apply(menuAutoClose_.opened());
        hoverRow_.reset();
    }
    ports_.actions.runButtonAction(b);
}

void BarController::replyButtonDown(MouseButton button) {
    if (!anyReplies()) {
        ports_.messages.show(kNoRepliesText, texts::kNoticeTitle, MessageKind::Info);
        pressConsumed_ = true;
        ports_.actions.openReplyEditor(0);
        return;
    }
    hoverRow_.reset();
    if (button == MouseButton::Left) {
        setPicture(BarButton::Reply, Picture::Pressed);
        pressState_ = PressState::Button;
    }
    if (panelOpen_) restoreBar();
}

void BarController::replyButtonUp(MouseButton button) {
    if (button != MouseButton::Left) {
        ports_.actions.openReplyEditor(0);
        return;
    }
    setPicture(BarButton::Reply, Picture::Normal);
    panelCloseCountdown_ = 2;
    if (!panelOpen_) openReplyPanel();
}

// --- reply panel -------------------------------------------------------------------------

void BarController::applyBounds() { ports_.window.setBounds(window_); }

// The window grows by the panel while the bar face stays where it is on the screen: upward as
// it always did when the panel fits there, else downward, or in columns (panel_layout.h).
void BarController::openReplyPanel() {
    const PxRect face{window_.left, window_.top, window_.left + kBarFaceWidthPx,
                      window_.top + kBarFaceHeightPx};
    showAGroupWithReplies();
    if (page_ >= pageCount()) page_ = 0;
    layoutTabs();
    layout_ = layoutReplyPanel(face, rowCount(), rowsSize(), ports_.window.workArea(),
                               tabStripPx());
    window_ = layout_.window;
    bandRow_ = -1;
    tabHover_.reset();
    applyBounds();
    ports_.window.setRegion(panelRegion(layout_));
    ports_.timers.enable(TimerId::PanelPointerPoll, kPollMs);
    panelOpen_ = true;
    ports_.window.invalidate();
}

void BarController::restoreBar() {
    // Whatever closes the panel gives the panel's keys back, but for a pick by key that is
    // still going out: they stay the bar's until its send key is out.
    if (!keyboard_.picking()) keyboard_.end(KeyboardModeEnd::ClickedElsewhere);
    endSearch();
    keysNotice_.clear();
    pressedRow_.reset();
    // Wherever the window is now: something else may have moved it while the panel was open.
    const PxPoint face = faceOrigin();
    window_.left += face.x;
    window_.top += face.y;
    window_.right = window_.left + kBarFaceWidthPx;
    window_.bottom = window_.top + kBarFaceHeightPx;
    panelOpen_ = false;
    applyBounds();
    // The panel's shape does not fit the bar alone: a panel that opened below the bar or
    // shifted left would leave a region that misses the face, and the bar invisible and
    // unclickable.
    ports_.window.setRegion({});
    ports_.timers.disable(TimerId::PanelPointerPoll);
    ports_.window.invalidate();
    if (!pick_.pending()) ports_.actions.repliesIdle();
}

void BarController::rowMove(int row, bool overText) {
    if (row != bandRow_) {
        bandRow_ = row;
        ports_.window.invalidate();
    }
    panelCloseCountdown_ = 2;
    if (overText) hoverRow_ = row;
}

// The press decides: the reply under it, and the window in front at that moment, are what the
// release acts on.
void BarController::rowDown(int row, MouseButton button) {
    pressedRow_.reset();
    const Reply* reply = shownReply(row);
    if (!reply) return;
    const Place place = shownPlace(row);
    pressedRow_ = PressedRow{row,         *reply, place.group, place.index, groupKey(place.group),
                             ports_.target.foreground()};
    if (button == MouseButton::Left) pick_.press(reply->fullText);
}

// The panel closes at once; the paste follows now or, when it has to wait, shortly after.
void BarController::rowUp(int row, MouseButton button) {
    if (!pressedRow_ || pressedRow_->row != row) return;
    const PressedRow pressed = *std::exchange(pressedRow_, std::nullopt);
    if (panelOpen_) restoreBar();
    if (button == MouseButton::Left) {
        pickToNote_.emplace(pressed.groupKey, pressed.reply.fullText);
        pick_.release(pressed.reply.fullText, replies_.autoSend, pressed.window);
    } else if (pressed.group == 0) {
        ports_.actions.openReplyEditor(pressed.index);
    } else {
        offerCopy(pressed.reply);
    }
}

// --- timers ------------------------------------------------------------------------------

void BarController::timerTick(TimerId id) {
    if (id == TimerId::PanelPointerPoll)
        pollPointer();
    else if (id == TimerId::MenuCloseCountdown)
        apply(menuAutoClose_.tick());
    else if (id == TimerId::PickStep)
        pick_.tick();
    else if (id == TimerId::HeldKeyWatch && !keyboard_.watchHeldKeys())
        ports_.timers.disable(TimerId::HeldKeyWatch);
}

void BarController::pollPointer() {
    const PxPoint p = ports_.window.cursorPos();
    // A group tab the pointer rests on for a moment is shown.
    if (tabHover_ && ports_.clock.milliseconds() >= tabHoverSince_ + kTabHoverMs) {
        const int tab = *tabHover_;
        tabHover_.reset();
        const PanelTab* resting = tabOf(tab);
        if (resting && resting->kind == PanelTab::Group &&
            hitTest(p.x - window_.left, p.y - window_.top) == Target{Target::Tab, tab})
            tabUp(tab, MouseButton::Left);
    }
    // The window's whole rectangle counts, whatever its region; right and bottom edges inside.
    const bool outside =
        p.x < window_.left || p.x > window_.right || p.y < window_.top || p.y > window_.bottom;
    // In keyboard mode the pointer may rest anywhere: the panel waits for its keys, but not
    // for ever.
    if (keyboard_.active() && !keyboard_.picking() &&
        ports_.clock.milliseconds() >= keyboardLastKeyAt_ + kKeyboardModeIdleMs) {
        endKeyboardMode(KeyboardModeEnd::LeftAlone);
        return;
    }
    if (outside && !keyboard_.active()) {
        if (countDown(panelCloseCountdown_)) {
            if (panelOpen_) restoreBar();
            ports_.timers.disable(TimerId::PanelPointerPoll);
        }
    } else {
        panelCloseCountdown_ = 2;
    }
}

// --- the launcher menu's auto-close -------------------------------------------------------

void BarController::watchMenuPointer(MenuPointer where) { apply(menuAutoClose_.pointerAt(where)); }
void BarController::menuItemSelected() { apply(menuAutoClose_.itemSelected()); }
void BarController::menuItemLeft() { apply(menuAutoClose_.itemLeft()); }

void BarController::apply(launch::MenuAutoClose::Step step) {
    using Timer = launch::MenuAutoClose::Timer;
    if (step.timer == Timer::Start)
        ports_.timers.enable(TimerId::MenuCloseCountdown, launch::MenuAutoClose::kTickMs);
    else if (step.timer == Timer::Stop)
        ports_.timers.disable(TimerId::MenuCloseCountdown);
    if (step.close) ports_.actions.closeLauncherMenu();
}

}  // namespace replybar
