// The bar face's rules: the drag strip, the four buttons' pictures, the launcher menu's
// auto-close, the hotkey, and the picks of the replies the panel (panel/reply_panel) says the
// user chose. The window adapter forwards mouse, key and timer events here; what lies on the
// panel goes on to the panel.
#pragma once

#include <array>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

#include "core/ports.h"
#include "core/replies.h"
#include "fill/field_pick.h"
#include "launch/menu_auto_close.h"
#include "panel/reply_panel.h"
#include "reply/reply_pick.h"

namespace replybar {

// What the last left press on the bar face went to. Buttons show their hover picture only after
// a press on the drag strip.
enum class PressState { None, DragStrip, Button };

// What a click on the reply button, or the hotkey, says when there is no reply yet.
inline constexpr wchar_t kNoRepliesText[] =
    L"没有设置回复信息，请先添加回复信息；以后鼠标右键点击快捷回复图标，可以随时添加。";

// Show Desktop, home page, launcher and replies, left to right.
enum class BarButton { Desktop = 0, Home = 1, Launch = 2, Reply = 3 };
enum class Picture { Normal, Hover, Pressed };

// Dialogs and actions that live elsewhere.
class IBarActions {
public:
    virtual ~IBarActions() = default;
    virtual void openSettingsDialog() = 0;
    virtual void openReplyEditor(int row) = 0;  // the reply editor, `row` selected
    // The reply editor in adding state with `text` in its box and classification `icon` (-1 for
    // none) chosen: a reply to copy into the user's own. With 41 replies the user is told the
    // table is full.
    virtual void openReplyEditorToAdd(const std::wstring& text, int icon) = 0;
    virtual void runButtonAction(BarButton button) = 0;  // Show Desktop, home page, launcher
    // Closes the open launcher menu. The bar is never the foreground window, so an Esc keystroke
    // would reach the user's window instead of the menu.
    virtual void closeLauncherMenu() = 0;
    // A reply was picked: of the user's own (`group` "") or of the team's group `group`. Told
    // once the pick is over, its keys out.
    virtual void replyPicked(const std::wstring& group, const std::wstring& text) {
        (void)group, (void)text;
    }
    // Neither the panel is open nor a pick going out: the team's groups may change now. While
    // either lasts they must not: the row under the user's finger would change.
    virtual void repliesIdle() {}
    // A reply greets with the agent's name, which is not set: the settings, at its field.
    virtual void openAgentNameSetting() {}
};

class BarController : private IPickEvents, private IPanelEvents {
public:
    struct Ports {
        IBarWindow& window;
        ITimers& timers;
        IClipboard& clipboard;
        IKeys& keys;
        IMessages& messages;
        IBarActions& actions;
        ITargetWindow& target;
        IClock& clock;
        IHotkeys& hotkeys;  // the panel's keys while keyboard mode lasts
        fill::IBlankBox& blanks;  // asks for a reply's blanks at its pick
        std::function<std::wstring()> agentName;  // what {客服} fills in; "" when not set
    };
    // `replies` are read only: the store and the reply editor change them.
    BarController(const Replies& replies, Ports ports);

    // The panel the face opens; the painter and the tooltips read it.
    const ReplyPanel& panel() const { return panel_; }
    ReplyPanel& panel() { return panel_; }
    // The fields of the replies picked; the tooltips show how a reply would paste now.
    fill::FieldPick& fields() { return fields_; }

    // The window's screen rectangle, as the system reports it.
    void setWindowRect(const PxRect& screenRect);
    PxRect windowRect() const { return panel_.isOpen() ? panel_.windowRect() : window_; }

    // Hit test in client pixels: the panel's parts, then the face's.
    Target hitTest(int x, int y) const;

    // Mouse events in client pixels. `target` is the control the press went to: the adapter
    // keeps it for the move and release events that follow a press.
    void mouseDown(const Target& target, MouseButton button, int x, int y);
    void mouseMove(const Target& target, int x, int y);
    void mouseUp(const Target& target, MouseButton button, int x, int y);
    void timerTick(TimerId id);
    // The window lost the mouse capture to another window: a drag ends there.
    void captureLost() { dragActive_ = false; }

    // What the launcher menu's auto-close hears while the menu is open: every 100 ms where the
    // pointer is (OnLaunchButton only of a menu that opened beside the bar), and from the menu
    // an item selected or drawn unselected.
    using MenuPointer = launch::MenuPointer;
    void watchMenuPointer(MenuPointer where);
    void menuItemSelected();
    void menuItemLeft();

    void openReplyPanel();
    bool panelOpen() const { return panel_.isOpen(); }
    void restoreBar() { panel_.close(); }  // the panel closed, the face alone

    // Keyboard mode. The hotkey opens the panel where a click on the reply button would, with
    // the first row highlighted and the row keys shown; pressed again, it closes the panel.
    // `hotkeyKey` is its own key (held on, it repeats). Nothing while a pick is going out: its
    // send key must reach the chat, not a new panel's Enter.
    void hotkeyPressed(std::uint16_t hotkeyKey = 0);
    // WM_HOTKEY with one of the panel's own ids.
    void panelKeyPressed(int id);
    // The keyboard panel is on screen: keys still down from before it are noted now.
    void keyboardPanelShown() { panel_.shownByKey(); }
    // The mode ends from outside the panel: a click elsewhere, another window in front, a lock
    // of the screen. The panel closes with it.
    void endKeyboardMode(KeyboardModeEnd why) { panel_.endKeyboardMode(why); }
    bool keyboardMode() const { return panel_.keyboardMode(); }
    // A pick is on its way to the chat (waiting for the clipboard, or for its send key).
    bool picking() const { return pick_.pending(); }
    // The key auto-send presses after a paste, for every pick from now on.
    void setSendKey(keys::SendKey key) { pick_.setSendKey(key); }
    keys::SendKey sendKey() const { return pick_.sendKey(); }
    void resetPictures(std::initializer_list<BarButton> buttons);

    // What the adapter paints.
    PxPoint faceOrigin() const { return panel_.faceOrigin(); }  // pixels in the window
    Picture picture(BarButton b) const { return pictures_[static_cast<int>(b)]; }
    // A press that opened a modal dialog ends there: the adapter drops the release.
    bool pressConsumed() const { return pressConsumed_; }

    static PxRect buttonRect(BarButton b);  // on the bar face, pixels

private:
    PxRect faceOnScreen() const;
    void dragStripDown(MouseButton button, int x, int y);
    void dragStripMove(int x, int y);
    void buttonDown(BarButton b, MouseButton button);
    void buttonMove(BarButton b);
    void buttonUp(BarButton b, MouseButton button, bool overButton);
    void replyButtonDown(MouseButton button);
    void replyButtonUp(MouseButton button);
    void rowDown(int row, MouseButton button);
    void rowUp(int row, MouseButton button);
    void apply(launch::MenuAutoClose::Step step);
    void setPicture(BarButton b, Picture p);
    void applyBounds();
    void startPick(const PanelChoice& choice);
    void releasePick(const PanelChoice& choice);
    void offerCopy(const Reply& reply);
    // IPickEvents
    // The send key must reach the chat: the panel's Enter is given back first. The other keys
    // stay the bar's until the pick is over, just after: given back before the send key, a
    // digit typed during the pick could reach the chat in the moment between and join the
    // message.
    void beforeSendKey() override { panel_.freeTheSendKey(); }
    void pickEnded() override;
    // IPanelEvents
    void panelClosed(const PxRect& face) override;

    const Replies& replies_;
    Ports ports_;
    PxRect window_{};  // the face on the screen while the panel is closed
    std::array<Picture, 4> pictures_{};
    bool dragActive_ = false;
    int dragAnchorX_ = 0, dragAnchorY_ = 0;  // twips in the drag strip
    bool pressConsumed_ = false;
    PressState pressState_ = PressState::None;
    launch::MenuAutoClose menuAutoClose_;
    struct PickMessages : IMessages {
        explicit PickMessages(BarController& bar) : bar(bar) {}
        MessageAnswer show(const std::wstring& text, const std::wstring& title,
                           MessageKind kind) override;
        BarController& bar;
    };
    PickMessages pickMessages_{*this};
    ReplyPick pick_;
    fill::FieldPick fields_;  // what a reply's fields paste, read as its pick starts
    // The pick going out, told to the history once its keys are out.
    std::optional<std::pair<std::wstring, std::wstring>> pickToNote_;
    ReplyPanel panel_;
};

}  // namespace replybar
