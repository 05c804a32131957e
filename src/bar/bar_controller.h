// The bar's interaction rules: the drag strip, the four buttons' pictures, the reply panel with
// its rows and highlight band, picking a reply, and the two auto-close timers. The window
// adapter forwards mouse and timer events here and paints from what this object holds.
#pragma once

#include <array>
#include <initializer_list>
#include <optional>
#include <vector>

#include "panel/panel_layout.h"
#include "core/ports.h"
#include "launch/menu_auto_close.h"
#include "panel/keyboard_panel.h"
#include "panel/panel_geometry.h"
#include "panel/panel_tabs.h"
#include "search/pick_history.h"
#include "search/reply_search.h"
#include "reply/reply_pick.h"
#include "core/replies.h"

namespace replybar {

enum class MouseButton { Left, Right, Middle };

// What the last left press on the bar face went to. Buttons show their hover picture only after
// a press on the drag strip.
enum class PressState { None, DragStrip, Button };

// What a click on the reply button, or the hotkey, says when there is no reply yet.
inline constexpr wchar_t kNoRepliesText[] =
    L"没有设置回复信息，请先添加回复信息；以后鼠标右键点击快捷回复图标，可以随时添加。";

// Show Desktop, home page, launcher and replies, left to right.
enum class BarButton { Desktop = 0, Home = 1, Launch = 2, Reply = 3 };
enum class Picture { Normal, Hover, Pressed };

// What the rules need from the bar window.
class IBarWindow {
public:
    virtual ~IBarWindow() = default;
    // Screen position and size of the window, pixels.
    virtual void setBounds(const PxRect& screenRect) = 0;
    // The window's shape: the union of CreateRoundRectRgn(l, t, r, b, 0, 0) of each rectangle;
    // none given: the whole window.
    virtual void setRegion(const std::vector<PxRect>& roundRectArgs) = 0;
    virtual void invalidate() = 0;
    virtual PxPoint cursorPos() = 0;  // screen pixels
    // The work area of the monitor the bar is on (the monitor less the taskbar), screen pixels:
    // the panel never opens under the taskbar.
    virtual PxRect workArea() = 0;
};

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
};

// A control of the bar under the pointer, as the window adapter found it.
struct Target {
    enum Kind { None, DragStrip, Button, RowText, RowIcon, PanelBackground, Tab } kind = None;
    // The button, the row, or the tab (-1: the strip between tabs, the search line, the line
    // naming keys another program holds).
    int index = 0;
    bool operator==(const Target&) const = default;
};

class BarController : private IPickEvents {
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
    };
    // `replies` are read only: the store and the reply editor change them. `teamGroups`, when
    // given, are the team library's groups in use (none while there is no library), read only.
    BarController(const Replies& replies, Ports ports,
                  const std::vector<ReplyGroup>* teamGroups = nullptr);

    // The window's screen rectangle after start-up placement.
    void setWindowRect(const PxRect& screenRect);
    const PxRect& windowRect() const { return window_; }

    // Hit test in client pixels.
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

    void restoreBar();
    void openReplyPanel();

    // Keyboard mode. The hotkey opens the panel where a click on the reply button would, with
    // the first row highlighted and the row keys shown; pressed again, it closes the panel.
    // `hotkeyKey` is its own key (held on, it repeats). Nothing while a pick is going out: its
    // send key must reach the chat, not a new panel's Enter.
    void hotkeyPressed(std::uint16_t hotkeyKey = 0);
    // WM_HOTKEY with one of the panel's own ids.
    void panelKeyPressed(int id);
    // The keyboard panel is on screen: keys still down from before it are noted now.
    void keyboardPanelShown();
    // The mode ends from outside the panel: a click elsewhere, another window in front, a lock
    // of the screen. The panel closes with it.
    void endKeyboardMode(KeyboardModeEnd why);
    bool keyboardMode() const { return keyboard_.active(); }
    // A pick is on its way to the chat (waiting for the clipboard, or for its send key).
    bool picking() const { return pick_.pending(); }
    // The key shown at the left of a row in keyboard mode; "" for none.
    std::wstring rowKeyLabel(int row) const { return keyboard_.label(row); }
    // The key auto-send presses after a paste, for every pick from now on.
    void setSendKey(keys::SendKey key) { pick_.setSendKey(key); }
    keys::SendKey sendKey() const { return pick_.sendKey(); }
    // The reply editor changed the replies: new panel size (twips).
    void setPanelSize(const PanelSize& size) { panelSize_ = size; }
    void resetPictures(std::initializer_list<BarButton> buttons);

    // The group tabs: "我的" (group 0) and the team's groups, shown while a team library with
    // replies is in use. The panel remembers the group and page it showed last.
    void teamGroupsChanged();  // a new version of the library, or none: the panel follows
    void setTeamGroups(const std::vector<ReplyGroup>* groups) {
        team_ = groups;
        teamGroupsChanged();
    }
    bool hasTabs() const;
    const PanelTabs& tabs() const { return tabs_; }
    // The strip at the panel's top: the line naming keys another program holds (keyboard mode),
    // then the search's letters or the tabs. The tabs lie `tabsTopPx` below its top.
    int tabStripPx() const;
    int tabsTopPx() const { return keysNotice_.empty() ? 0 : kTabLineHeightPx; }
    // "" or which of the panel's keys another program holds, and what that costs.
    const std::wstring& keysNotice() const { return keysNotice_; }
    int shownGroup() const { return group_; }
    int shownPage() const { return page_; }
    void showGroup(int group);  // wraps round the ends
    void showPage(int page);    // wraps round the ends
    // The reply of a row of the page shown; nullptr past its rows.
    const Reply* shownReply(int row) const;

    // The search of keyboard mode: the letters typed, and the replies of every group that match
    // them, best first, as the rows; the strip at the panel's top shows the letters instead of
    // the tabs. It ends with the panel.
    bool searching() const { return !query_.empty(); }
    const std::wstring& query() const { return query_; }
    // When each reply was last picked, for the search's order; read only.
    void setHistory(const PickHistory* history) { history_ = history; }

    // What the adapter paints.
    bool panelOpen() const { return panelOpen_; }
    PxPoint faceOrigin() const;              // the bar face's top-left, pixels in the window
    PxRect panelRect() const;                // pixels in the window
    std::optional<PxRect> bandRect() const;  // pixels in the panel, when visible
    int rowsPerColumn() const { return layout_.rowsPerColumn; }
    Picture picture(BarButton b) const { return pictures_[static_cast<int>(b)]; }
    int rowCount() const;
    const PanelSize& panelSize() const { return panelSize_; }
    // A press that opened a modal dialog ends there: the adapter drops the release.
    bool pressConsumed() const { return pressConsumed_; }

    static PxRect buttonRect(BarButton b);  // on the bar face, pixels

private:
    void dragStripDown(MouseButton button, int x, int y);
    void dragStripMove(int x, int y);
    void buttonDown(BarButton b, MouseButton button);
    void buttonMove(BarButton b);
    void buttonUp(BarButton b, MouseButton button, bool overButton);
    void replyButtonDown(MouseButton button);
    void replyButtonUp(MouseButton button);
    void rowMove(int row, bool overText);
    void rowDown(int row, MouseButton button);
    void rowUp(int row, MouseButton button);
    void pollPointer();
    void apply(launch::MenuAutoClose::Step step);
    void setPicture(BarButton b, Picture p);
    void applyBounds();
    void pickRow(int row);
    int groupCount() const;
    int pageCount() const;
    bool anyReplies() const;
    void showAGroupWithReplies();  // the group shown has none: the first that has
    PanelSize rowsSize() const;
    void layoutTabs();
    void relayoutPanel();
    void tabUp(int tab, MouseButton button);
    void offerCopy(const Reply& reply);
    struct Place {
        int group = 0, index = -1;  // the group, and the reply's place in it
    };
    Place shownPlace(int row) const;
    const ReplyGroup* teamGroup(int group) const;  // nullptr for the user's own
    const std::vector<Reply>& rowsOf(int group) const;
    std::wstring groupKey(int group) const;  // "" for the user's own, else the group's name
    void searchChanged();
    void runSearch();
    void endSearch();
    void startPick(const Reply& reply, const std::wstring& group, std::uintptr_t window);
    const PanelTab* tabOf(int index) const;
    std::wstring refusedKeysNotice() const;
    // IPickEvents
    void beforeSendKey() override;
    void pickEnded() override;

    const Replies& replies_;
    const std::vector<ReplyGroup>* team_;
    Ports ports_;
    PxRect window_{};
    PanelSize panelSize_{kBarFaceWidthTwips, 0};
    bool panelOpen_ = false;
    PanelLayout layout_;  // where the open panel and the face are; its face is all when closed
    int bandRow_ = -1;    // the row the highlight band lies under; -1 parks it out of sight
    std::array<Picture, 4> pictures_{};
    bool dragActive_ = false;
    int dragAnchorX_ = 0, dragAnchorY_ = 0;  // twips in the drag strip
    bool pressConsumed_ = false;
    PressState pressState_ = PressState::None;
    std::optional<int> hoverRow_;  // the row whose text was last under the pointer
    // The reply under a press on a row, as it was then: the release acts on it, whatever the
    // row shows by that time.
    struct PressedRow {
        int row;
        Reply reply;
        int group, index;  // where it was
        std::wstring groupKey;
        std::uintptr_t window;  // in front at the press: the paste goes there or nowhere
    };
    std::optional<PressedRow> pressedRow_;
    // The pick going out, told to the history once its keys are out.
    std::optional<std::pair<std::wstring, std::wstring>> pickToNote_;
    std::wstring keysNotice_;  // keyboard mode's keys another program holds
    int group_ = 0, page_ = 0;     // what the panel shows
    PanelTabs tabs_;               // laid out at each opening and change of group or page
    std::optional<int> tabHover_;  // the tab under the pointer, since tabHoverSince_
    std::wstring query_;           // the search's letters, "a"-"z"
    std::vector<Place> found_;     // its results, best first, at most kReplyRows
    std::vector<SearchItem> searchItems_;  // every reply, made at the search's first letter
    const PickHistory* history_ = nullptr;
    std::uint64_t tabHoverSince_ = 0;
    int panelCloseCountdown_ = 0;  // pointer polls outside left before the panel closes
    launch::MenuAutoClose menuAutoClose_;
    struct PickMessages : IMessages {
        explicit PickMessages(BarController& bar) : bar(bar) {}
        MessageAnswer show(const std::wstring& text, const std::wstring& title,
                           MessageKind kind) override;
        BarController& bar;
    };
    PickMessages pickMessages_{*this};
    ReplyPick pick_;
    KeyboardPanel keyboard_;
    std::uintptr_t keyboardForeground_ = 0;  // the window in front when keyboard mode opened
    std::uint64_t keyboardLastKeyAt_ = 0;    // the clock at its opening or last key
};

}  // namespace replybar
