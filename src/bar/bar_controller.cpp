#include "bar/bar_controller.h"

#include "core/message_titles.h"
#include "team/team_texts.h"

namespace replybar {

BarController::BarController(const Replies& replies, Ports ports)
    : replies_(replies),
      ports_(ports),
      pick_({ports.clipboard, ports.keys, pickMessages_, ports.target, ports.timers, ports.clock,
             this}),
      fields_({ports.clipboard, ports.clock, pickMessages_, ports.blanks, ports.agentName,
               [this] { ports_.actions.openAgentNameSetting(); }}),
      panel_(replies, {ports.window, ports.timers, ports.hotkeys, ports.keys, ports.clock,
                       ports.target, *this}) {
    pictures_.fill(Picture::Normal);
}

void BarController::setWindowRect(const PxRect& r) {
    if (panel_.isOpen())
        panel_.windowMoved(r);
    else
        window_ = r;
}

PxRect BarController::faceOnScreen() const {
    const PxRect w = windowRect();
    const PxPoint at = faceOrigin();
    return {w.left + at.x, w.top + at.y, w.left + at.x + kBarFaceWidthPx,
            w.top + at.y + kBarFaceHeightPx};
}

PxRect BarController::buttonRect(BarButton b) {
    static constexpr PxRect rects[4] = {
        {5, 4, 28, 26}, {28, 4, 51, 26}, {51, 4, 67, 26}, {76, 4, 99, 26}};
    return rects[static_cast<int>(b)];
}

Target BarController::hitTest(int x, int y) const {
    const PxRect& p = panel_.panelRect();
    if (panel_.isOpen() && y >= p.top && y < p.bottom) return panel_.hitTest(x, y);
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
            if (const auto row = panel_.hoverRow()) rowDown(*row, button);
            break;
        case Target::Tab:
        case Target::None: break;
    }
}

void BarController::mouseMove(const Target& t, int x, int y) {
    if (!panel_.acceptsPointerMove()) return;
    switch (t.kind) {
        case Target::DragStrip: dragStripMove(x - faceOrigin().x, y - faceOrigin().y); break;
        case Target::Button: buttonMove(static_cast<BarButton>(t.index)); break;
        default: break;
    }
    panel_.pointerOver(t);
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
            if (const auto row = panel_.hoverRow(); row && button != MouseButton::Middle)
                rowUp(*row, button);
            break;
        case Target::Tab: panel_.tabReleased(t.index, button); break;
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
    panel_.close();
}

void BarController::dragStripMove(int x, int y) {
    if (dragActive_ && !panel_.isOpen()) {
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

void BarController::applyBounds() { ports_.window.setBounds(window_); }

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
    panel_.close();
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
        panel_.forgetHover();
    }
    ports_.actions.runButtonAction(b);
}

void BarController::replyButtonDown(MouseButton button) {
    if (!panel_.anyReplies()) {
        ports_.messages.show(kNoRepliesText, texts::kNoticeTitle, MessageKind::Info);
        pressConsumed_ = true;
        ports_.actions.openReplyEditor(0);
        return;
    }
    panel_.forgetHover();
    if (button == MouseButton::Left) {
        setPicture(BarButton::Reply, Picture::Pressed);
        pressState_ = PressState::Button;
    }
    panel_.close();
}

void BarController::replyButtonUp(MouseButton button) {
    if (button != MouseButton::Left) {
        ports_.actions.openReplyEditor(0);
        return;
    }
    setPicture(BarButton::Reply, Picture::Normal);
    panel_.keepOpen();
    if (!panel_.isOpen()) openReplyPanel();
}

void BarController::openReplyPanel() { panel_.open(faceOnScreen()); }

void BarController::panelClosed(const PxRect& face) {
    window_ = face;
    if (!pick_.pending()) ports_.actions.repliesIdle();
}

// --- rows ----------------------------------------------------------------------------------

// The press decides: the reply under it, and the window in front at that moment, are what the
// release acts on.
void BarController::rowDown(int row, MouseButton button) {
    const PanelChoice* pressed = panel_.rowPressed(row);
    if (pressed && button == MouseButton::Left) pick_.press(fields_.press(pressed->reply.fullText));
}

// The panel closes at once; the paste follows now or, when it has to wait, shortly after.
void BarController::rowUp(int row, MouseButton button) {
    const std::optional<PanelChoice> chosen = panel_.rowReleased(row);
    if (!chosen) return;
    if (button == MouseButton::Left) {
        releasePick(*chosen);
    } else if (chosen->group == 0) {
        ports_.actions.openReplyEditor(chosen->index);
    } else {
        offerCopy(chosen->reply);
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

// --- timers and the launcher menu's auto-close ------------------------------------------------

void BarController::timerTick(TimerId id) {
    if (id == TimerId::MenuCloseCountdown)
        apply(menuAutoClose_.tick());
    else if (id == TimerId::PickStep)
        pick_.tick();
    else
        panel_.timerTick(id);
}

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
