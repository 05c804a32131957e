// The panel's input: the pointer on its rows and tabs, the poll that closes it once the pointer
// has left, and keyboard mode, in which its keys are the bar's.
#include <limits>
#include <utility>

#include "panel/panel_texts.h"
#include "panel/reply_panel.h"

namespace replybar {

namespace {

constexpr std::uint64_t kTabHoverMs = 300;  // a tab the pointer rests on this long is shown
// How often keys still down from before keyboard mode are looked at until they are let go.
constexpr unsigned kHeldKeyWatchMs = 30;

// One tick of a countdown: true when it reaches exactly 0. One that started at 0 or below runs on
// below zero and never fires.
bool countDown(int& ticksLeft) {
    if (ticksLeft > std::numeric_limits<int>::min()) --ticksLeft;
    return ticksLeft == 0;
}

}  // namespace

// --- the pointer -----------------------------------------------------------------------------

bool ReplyPanel::acceptsPointerMove() {
    // The move the system reports when the panel appears under a resting pointer is no move of
    // the user's; a real one hands the panel to the mouse, the key labels gone.
    if (!keyboard_.active()) return true;
    const PxPoint p = ports_.window.cursorPos();
    if (!keyboard_.pointerMoved(p.x, p.y)) return false;
    ports_.window.invalidate();
    return true;
}

void ReplyPanel::pointerOver(const Target& t) {
    if (t.kind == Target::RowText || t.kind == Target::RowIcon) {
        if (t.index != bandRow_) {
            bandRow_ = t.index;
            ports_.window.invalidate();
        }
        closeCountdown_ = 2;
        if (t.kind == Target::RowText) hoverRow_ = t.index;
    } else if (t.kind == Target::Tab) {
        closeCountdown_ = 2;
        // The strip between tabs (or a strip of no tabs at all) shows nothing.
        if (tabOf(t.index)) {
            if (tabHover_ != t.index) {
                tabHover_ = t.index;
                tabHoverSince_ = ports_.clock.milliseconds();
            }
            return;
        }
    }
    tabHover_.reset();
}

const PanelChoice* ReplyPanel::rowPressed(int row) {
    pressed_.reset();
    if (!shownReply(row)) return nullptr;
    pressed_.emplace(row, choiceOf(row, ports_.target.foreground()));
    return &pressed_->second;
}

std::optional<PanelChoice> ReplyPanel::rowReleased(int row) {
    if (!pressed_ || pressed_->first != row) return std::nullopt;
    PanelChoice choice = std::exchange(pressed_, std::nullopt)->second;
    close();
    return choice;
}

void ReplyPanel::tabReleased(int tab, MouseButton button) {
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

void ReplyPanel::timerTick(TimerId id) {
    if (id == TimerId::PanelPointerPoll)
        pollPointer();
    else if (id == TimerId::HeldKeyWatch && !keyboard_.watchHeldKeys())
        ports_.timers.disable(TimerId::HeldKeyWatch);
}

void ReplyPanel::pollPointer() {
    if (!open_) return ports_.timers.disable(TimerId::PanelPointerPoll);
    const PxPoint p = ports_.window.cursorPos();
    const PxRect& w = layout_.window;
    // A group tab the pointer rests on for a moment is shown.
    if (tabHover_ && ports_.clock.milliseconds() >= tabHoverSince_ + kTabHoverMs) {
        const int tab = *tabHover_;
        tabHover_.reset();
        const PanelTab* resting = tabOf(tab);
        if (resting && resting->kind == PanelTab::Group &&
            hitTest(p.x - w.left, p.y - w.top) == Target{Target::Tab, tab})
            tabReleased(tab, MouseButton::Left);
    }
    // In keyboard mode the pointer may rest anywhere: the panel waits for its keys, but not
    // for ever.
    if (keyboard_.active() && !keyboard_.picking() &&
        ports_.clock.milliseconds() >= keyboardLastKeyAt_ + kKeyboardModeIdleMs)
        return endKeyboardMode(KeyboardModeEnd::LeftAlone);
    // The window's whole rectangle counts, whatever its region; right and bottom edges inside.
    const bool outside = p.x < w.left || p.x > w.right || p.y < w.top || p.y > w.bottom;
    if (!outside || keyboard_.active())
        closeCountdown_ = 2;
    else if (countDown(closeCountdown_))
        close();
}

// --- keyboard mode ---------------------------------------------------------------------------

ReplyPanel::KeyOpening ReplyPanel::openByKey(const PxRect& face, std::uint16_t hotkeyKey) {
    if (!open_) showAGroupWithReplies();
    const PxPoint pointer = ports_.window.cursorPos();
    keyboard_.prepare(rowCount(), pointer.x, pointer.y, hotkeyKey);
    keyboard_.setGroupKeys(hasTabs());
    keyboardForeground_ = ports_.target.foreground();  // where a pick goes
    if (!keyboard_.takeKeys()) {
        close();
        return KeyOpening::KeysTaken;
    }
    keysNotice_ = refusedKeysNotice();
    keyboardLastKeyAt_ = ports_.clock.milliseconds();
    if (!open_)
        open(face);
    else
        contentChanged();  // a panel the mouse opened is taken over; the strip may name keys
    bandRow_ = keyboard_.highlight().value_or(-1);
    closeCountdown_ = 2;
    ports_.window.invalidate();
    return KeyOpening::Opened;
}

// Which keys are down is some fifty questions to the system: asked once the panel is on screen.
void ReplyPanel::shownByKey() {
    if (!keyboard_.active() || !keyboard_.keysTaken()) return;
    if (keyboard_.noteHeldKeys()) ports_.timers.enable(TimerId::HeldKeyWatch, kHeldKeyWatchMs);
}

std::wstring ReplyPanel::refusedKeysNotice() const {
    std::vector<std::wstring> names;
    for (const std::uint16_t id : keyboard_.refusedKeys()) names.push_back(panelKeyName(id));
    if (names.empty()) return L"";
    return texts::panelKeysHeldElsewhere(names, !keyboard_.searchOffered());
}

std::optional<PanelChoice> ReplyPanel::keyPressed(int id) {
    // The user has gone to another window: the key is meant for it, not for a pick.
    if (keyboard_.active() && ports_.target.foreground() != keyboardForeground_) {
        endKeyboardMode(KeyboardModeEnd::ForegroundChanged);
        const int key = id - hotkeyId(HotkeyId::PanelKeys);
        if (key > 0 && key < 0x200) ports_.keys.tap(virtualKeyOf(static_cast<std::uint16_t>(key)));
        return std::nullopt;
    }
    shownByKey();
    const PanelKeyAction r = keyboard_.keyPressed(id, searching());
    if (r.kind != PanelKeyAction::Nothing) keyboardLastKeyAt_ = ports_.clock.milliseconds();
    switch (r.kind) {
        case PanelKeyAction::Nothing: break;
        case PanelKeyAction::Move:
            bandRow_ = keyboard_.highlight().value_or(-1);
            ports_.window.invalidate();
            break;
        case PanelKeyAction::Pick:
            if (shownReply(r.row)) return choiceOf(r.row, keyboardForeground_);
            break;
        case PanelKeyAction::Group:
            if (hasTabs() && !searching()) showGroup(group_ + r.row);
            break;
        case PanelKeyAction::Page:
            if (!searching()) showPage(page_ + r.row);
            break;
        case PanelKeyAction::Letter:
            if (query_.size() < kMaxSearchLetters) {  // longer finds nothing
                query_.push_back(static_cast<wchar_t>(r.row));
                searchChanged();
            }
            break;
        case PanelKeyAction::Backspace:
            if (!searching()) break;
            query_.pop_back();
            searchChanged();
            break;
        case PanelKeyAction::ClearSearch:
            query_.clear();
            searchChanged();
            break;
        case PanelKeyAction::Close: close(); break;
    }
    return std::nullopt;
}

void ReplyPanel::endKeyboardMode(KeyboardModeEnd why) {
    if (!keyboard_.active()) return;
    // The system tells of a change of the window in front a while after it: a notice of the
    // switch to the very window the mode opened over, come late, is no change.
    if (why == KeyboardModeEnd::ForegroundChanged &&
        ports_.target.foreground() == keyboardForeground_)
        return;
    keyboard_.end(why);
    if (why == KeyboardModeEnd::MouseTookOver)
        ports_.window.invalidate();
    else
        close();
}

}  // namespace replybar
