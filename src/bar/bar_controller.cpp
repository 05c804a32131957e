#include "bar/bar_controller.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/message_titles.h"

namespace replybar {

namespace {

constexpr unsigned kPollMs = 500;

// One tick of a countdown: true when it reaches exactly 0. One that started at 0 or below runs on
// below zero and never fires.
bool countDown(int& ticksLeft) {
    if (ticksLeft > std::numeric_limits<int>::min()) --ticksLeft;
    return ticksLeft == 0;
}

}  // namespace

BarController::BarController(const Replies& replies, Ports ports)
    : replies_(replies),
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

int BarController::rowCount() const { return std::clamp(replies_.count(), 0, kReplyRows); }

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
        const RowHit hit = hitTestRow((x - p.left) * kTwipsPerPixel, (y - p.top) * kTwipsPerPixel,
                                      rowCount(), layout_.rowsPerColumn);
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
        default: break;
    }
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
    if (replies_.count() == 0) {
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
    layout_ = layoutReplyPanel(face, rowCount(), panelSize_, ports_.window.workArea());
    window_ = layout_.window;
    bandRow_ = -1;
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
}

void BarController::rowMove(int row, bool overText) {
    if (row != bandRow_) {
        bandRow_ = row;
        ports_.window.invalidate();
    }
    panelCloseCountdown_ = 2;
    if (overText) hoverRow_ = row;
}

void BarController::rowDown(int row, MouseButton button) {
    if (button != MouseButton::Left || row < 0 || row >= kReplyRows) return;
    pick_.press(replies_.rows[static_cast<std::size_t>(row)].fullText);
}

// The panel closes at once; the paste follows now or, when it has to wait, shortly after.
void BarController::rowUp(int row, MouseButton button) {
    if (row < 0 || row >= kReplyRows) return;
    if (button == MouseButton::Left) {
        if (panelOpen_) restoreBar();
        pick_.release(replies_.rows[static_cast<std::size_t>(row)].fullText, replies_.autoSend);
        return;
    }
    if (panelOpen_) restoreBar();
    ports_.actions.openReplyEditor(row);
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
