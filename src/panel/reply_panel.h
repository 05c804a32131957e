// The reply panel's rules: which replies it shows (the user's own and the team's groups, in
// pages of 41, or a search's results), where it lies beside the bar face, the highlight band,
// the group tabs, the pointer resting on it, and keyboard mode with its keys. The bar face's
// rules (BarController) open and close it, hand it the mouse and keys that reach it, and act on
// the replies it says the user chose; the painter and the tooltips read it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/ports.h"
#include "core/replies.h"
#include "panel/keyboard_panel.h"
#include "panel/panel_layout.h"
#include "panel/panel_tabs.h"
#include "panel/panel_target.h"
#include "search/pick_history.h"
#include "search/reply_search.h"

namespace replybar {

// The team's groups as one version of the library made them: the panel keeps the version it
// shows alive, so nothing it holds points into groups that were replaced.
using TeamGroups = std::shared_ptr<const std::vector<ReplyGroup>>;

// A reply the user chose on the panel, as it was at that moment: the choice acts on it whatever
// the panel shows by the time it is carried out.
struct PanelChoice {
    Reply reply;
    int group = 0, index = 0;  // where it was: group 0 the user's own
    std::wstring groupKey;     // "" for the user's own, else the group's name
    std::uintptr_t window = 0;  // in front when the user chose: a paste goes there or nowhere
};

// What the panel tells the bar face's rules.
class IPanelEvents {
public:
    virtual ~IPanelEvents() = default;
    // The panel closed: the window is the bar face alone again, at `face` on the screen.
    virtual void panelClosed(const PxRect& face) = 0;
};

class ReplyPanel {
public:
    struct Ports {
        IBarWindow& window;
        ITimers& timers;  // PanelPointerPoll, HeldKeyWatch
        IHotkeys& hotkeys;
        IKeys& keys;
        IClock& clock;
        ITargetWindow& target;
        IPanelEvents& events;
    };
    // `own` are the user's replies, read only.
    ReplyPanel(const Replies& own, Ports ports);

    // What it shows.
    void setTeamGroups(TeamGroups groups);  // a new version of the library, or none
    void setOwnSize(const PanelSize& size) { ownSize_ = size; }  // the editor changed the replies
    const PanelSize& ownSize() const { return ownSize_; }
    void setHistory(const PickHistory* history) { history_ = history; }
    bool anyReplies() const;

    // Opening and closing. The window grows by the panel while the face stays where it is on
    // the screen: above it when it fits, else below, or in columns (panel_layout.h).
    void open(const PxRect& faceOnScreen);
    // Closes it (nothing when it is closed); the face's place goes to the events.
    void close();
    bool isOpen() const { return open_; }
    // The window moved or was resized by someone else while the panel is open.
    void windowMoved(const PxRect& screenRect) { layout_.window = screenRect; }
    const PxRect& windowRect() const { return layout_.window; }

    // The groups, pages and tabs.
    bool hasTabs() const { return groupCount() > 1; }
    const PanelTabs& tabs() const { return tabs_; }
    int shownGroup() const { return group_; }
    int shownPage() const { return page_; }
    void showGroup(int group);  // wraps round the ends
    void showPage(int page);    // wraps round the ends
    // The reply of a row shown; nullptr past the rows.
    const Reply* shownReply(int row) const;
    int rowCount() const;

    // What the painter and tooltips read.
    PxPoint faceOrigin() const;              // the face's top-left, pixels in the window
    PxRect panelRect() const;                // pixels in the window
    std::optional<PxRect> bandRect() const;  // pixels in the panel, when visible
    int rowsPerColumn() const { return layout_.rowsPerColumn; }
    // The strip at the panel's top: the line naming keys another program holds (keyboard mode),
    // then the search's letters or the tabs. The tabs lie `tabsTopPx` below its top.
    int tabStripPx() const;
    int tabsTopPx() const { return keysNotice_.empty() ? 0 : kTabLineHeightPx; }
    const std::wstring& keysNotice() const { return keysNotice_; }
    bool searching() const { return !query_.empty(); }
    const std::wstring& query() const { return query_; }
    // The key shown at the left of a row in keyboard mode; "" for none.
    std::wstring rowKeyLabel(int row) const { return keyboard_.label(row); }

    // The pointer, in window pixels.
    Target hitTest(int x, int y) const;  // None outside the open panel
    // A move the system reports as the panel appears under a resting pointer is none of the
    // user's: false, nothing to do. A real one in keyboard mode hands the panel to the mouse.
    bool acceptsPointerMove();
    void pointerOver(const Target& target);  // rows light up, a tab rested on is shown
    // A press on a row: the reply under it and the window in front, kept for the release.
    const PanelChoice* rowPressed(int row);
    // The release on the row pressed: what was under the press (the panel closes first); none
    // after a press on no reply or on another row.
    std::optional<PanelChoice> rowReleased(int row);
    // The background answers for the row whose text was last under the pointer.
    std::optional<int> hoverRow() const { return hoverRow_; }
    void tabReleased(int tab, MouseButton button);
    void keepOpen() { closeCountdown_ = 2; }  // the pointer is on the bar
    void forgetHover() { hoverRow_.reset(); }
    void timerTick(TimerId id);  // PanelPointerPoll, HeldKeyWatch

    // Keyboard mode: the panel opened (or taken over) by the hotkey, its keys the bar's.
    enum class KeyOpening { Opened, KeysTaken };
    // The keys first, then the panel: a key typed the moment the panel shows finds it listening.
    // KeysTaken, nothing open, when another program holds Esc or Enter.
    KeyOpening openByKey(const PxRect& faceOnScreen, std::uint16_t hotkeyKey);
    // Once it is on screen: keys still down from before it are noted.
    void shownByKey();
    bool keyboardMode() const { return keyboard_.active(); }
    bool keysStillHeld(std::uint16_t key) const { return keyboard_.stillHeld(key); }
    // A panel key: a choice to pick, or nothing. A key after the window in front changed ends
    // the mode and goes on to that window.
    std::optional<PanelChoice> keyPressed(int id);
    // A pick by key is going out: the keys stay the bar's, and do nothing, until it is over.
    void keyPickStarted() { keyboard_.startPick(); }
    void keyPickOver() { keyboard_.end(KeyboardModeEnd::Picked); }
    void freeTheSendKey() { keyboard_.giveBack(keys::kReturn); }
    // The mode ends from outside: a click elsewhere, another window in front, a lock of the
    // screen. All but MouseTookOver close the panel.
    void endKeyboardMode(KeyboardModeEnd why);

private:
    struct Place {
        int group = 0, index = -1;  // the group, and the reply's place in it
    };
    int groupCount() const;
    int pageCount() const;
    Place shownPlace(int row) const;
    const ReplyGroup* teamGroup(int group) const;  // nullptr for the user's own
    const std::vector<Reply>& rowsOf(int group) const;
    std::wstring groupKey(int group) const;
    const PanelTab* tabOf(int index) const;
    PanelChoice choiceOf(int row, std::uintptr_t window) const;
    void showAGroupWithReplies();
    PanelSize rowsSize() const;
    void layOut(const PxRect& faceOnScreen);
    void contentChanged();
    void runSearch();
    void searchChanged();
    void endSearch();
    void pollPointer();
    std::wstring refusedKeysNotice() const;

    const Replies& own_;
    Ports ports_;
    TeamGroups team_;
    const PickHistory* history_ = nullptr;
    PanelSize ownSize_{kBarFaceWidthTwips, 0};
    bool open_ = false;
    PanelLayout layout_;  // where the open panel and the face are
    int group_ = 0, page_ = 0;
    PanelTabs tabs_;
    int bandRow_ = -1;  // the row the highlight band lies under; -1 parks it out of sight
    std::optional<int> hoverRow_;  // the row whose text was last under the pointer
    std::optional<int> tabHover_;  // the tab under the pointer, since tabHoverSince_
    std::uint64_t tabHoverSince_ = 0;
    int closeCountdown_ = 0;  // pointer polls outside left before the panel closes
    std::optional<std::pair<int, PanelChoice>> pressed_;  // the row pressed and its reply
    std::wstring query_;             // the search's letters, "a"-"z"
    std::vector<Place> found_;       // its results, best first, at most kReplyRows
    std::vector<SearchItem> items_;  // every reply, made at the search's first letter
    KeyboardPanel keyboard_;
    std::uintptr_t keyboardForeground_ = 0;  // in front at the hotkey
    std::uint64_t keyboardLastKeyAt_ = 0;    // the clock at its opening or last key
    std::wstring keysNotice_;                // keys another program holds
};

}  // namespace replybar
