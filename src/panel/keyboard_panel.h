// The reply panel in keyboard mode. The hotkey opens the panel with the first reply highlighted
// and each of the first ten rows labelled with its key, 1-9 and 0 (the number pad's digits pick
// as the digits do). A row key picks its row, Up/Down (round the ends) and Home/End move the
// highlight, Enter picks the highlighted row, Esc closes. The letters A-Z, with or without
// Shift, type a search, which Backspace shortens and Esc clears (a second Esc closes); the rows
// are then its results. The bar never has the keyboard, so these keys are registered as
// system-wide hotkeys for as long as the mode lasts: they reach the bar and no other window.
// Every digit and letter is taken, whether or not a row answers it: one that went on to the
// chat would join the next reply sent. Every way the mode ends gives them back at once, so that
// none stays taken from the user's other programs.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/ports.h"

namespace replybar {

inline constexpr int kKeyedRows = 10;
// The panel's hotkey id of Shift and a letter is the letter's plus this; no key has a number
// this high.
inline constexpr std::uint16_t kShiftedLetter = 0x100;
// The key a panel key's id stands for (Shift aside).
std::uint16_t virtualKeyOf(std::uint16_t panelKeyId);
// What the user reads for a panel key's id: "5", "小键盘 5", "Q", "Shift+Q", "Enter".
std::wstring panelKeyName(std::uint16_t panelKeyId);

// A mode nobody touches ends by itself after this long, and the keys are the user's again: a
// panel forgotten behind another window must not keep the digits and letters from the chat.
inline constexpr unsigned kKeyboardModeIdleMs = 20000;

// The row (0-based) a row key picks: '1'-'9' rows 0-8, '0' row 9; the number pad's 1-9 and 0
// (with Num Lock on) as the digits.
std::optional<int> rowOfKey(std::uint16_t virtualKey);
// The label at the left of a row: "1"-"9", "0"; "" for a row past the keyed ones or past the
// replies.
std::wstring rowKeyLabel(int row, int replyCount);

enum class HighlightMove { Up, Down, First, Last };
// Up and Down go round the ends; with no replies there is nothing to highlight (-1).
int movedHighlight(int row, HighlightMove move, int replyCount);

// What a panel key does: the one set of the panel's key actions.
struct PanelKeyAction {
    enum Kind {
        Nothing,
        Pick,         // the row `row`; from actionOfKey, -1 for the highlighted row
        Move,         // the highlight, by `move`
        Close,        // the panel, keys given back
        ClearSearch,  // the search's letters, all of them
        Group,        // the group before or after: `row` is the step, 1 or -1
        Page,         // the page before or after: `row` is the step
        Letter,       // a letter of the search: `row` is 'a'-'z'
        Backspace,    // the search's last letter goes
    } kind = Nothing;
    int row = -1;
    HighlightMove move = HighlightMove::Up;
    bool operator==(const PanelKeyAction&) const = default;
};
// What a key (a panel key's id) does with this many replies; a row key past them does nothing.
// With the group tabs shown, Left and Right (Shift+Tab and Tab) go to the group before and
// after, Page Up and Page Down to the page before and after.
PanelKeyAction actionOfKey(std::uint16_t panelKeyId, int replyCount);

struct PanelKey {
    std::uint16_t virtualKey;
    unsigned modifiers;  // RegisterHotKey's: none, and no repeats except for Up and Down
    std::uint16_t idKey = 0;  // the key its hotkey id is made of, when not virtualKey
    bool operator==(const PanelKey&) const = default;
    std::uint16_t id() const { return idKey ? idKey : virtualKey; }
};
// The keys keyboard mode takes: Esc, Enter, Up, Down, Home, End, every digit and the number
// pad's, and with `searchKeys` the letters with and without Shift and Backspace. A row key,
// Enter or Esc held down acts once: a user still holding the hotkey's letter picks nothing
// with it. With `groupKeys` also the keys that switch groups and pages.
std::vector<PanelKey> panelKeys(bool groupKeys = false, bool searchKeys = true);

// Every way keyboard mode ends. All but MouseTookOver close the panel; then it stays open and
// is worked by the mouse, as when a click opened it.
enum class KeyboardModeEnd {
    Picked,
    Escaped,
    HotkeyAgain,
    ClickedElsewhere,
    ForegroundChanged,
    MouseTookOver,
    SessionEnded,  // the end of the session, a lock of the screen, the bar closing
    LeftAlone,     // no key for kKeyboardModeIdleMs
    NoClickWatch,  // the system would not let the bar see clicks elsewhere
};

// Whether a click seen while keyboard mode lasts went to the bar (its face or its panel), told
// in the bar's own coordinates: by the window under the pointer when the system names one,
// else by the pointer in the bar's rectangle. The raw point of a low-level mouse hook is in
// physical pixels, which a DPI-unaware bar's rectangle is not in at 125 % and above.
bool clickWentToBar(std::optional<bool> windowUnderPointerIsBar, int cursorX, int cursorY,
                    int barLeft, int barTop, int barRight, int barBottom);

class KeyboardPanel {
public:
    // With `keys`, a key that is down when the mode opens picks nothing until it was let go.
    // Which keys are down is asked once the panel is on screen (`noteHeldKeys`): that is some
    // fifty questions to the system, and the panel comes first; a key that arrives before that
    // is a repeat of one held since the opening.
    explicit KeyboardPanel(IHotkeys& hotkeys, IKeys* keys = nullptr)
        : hotkeys_(hotkeys), keys_(keys) {}
    ~KeyboardPanel() { end(KeyboardModeEnd::SessionEnded); }
    KeyboardPanel(const KeyboardPanel&) = delete;
    KeyboardPanel& operator=(const KeyboardPanel&) = delete;

    // The mode starts over a panel of `replyCount` rows, with the pointer where it is now: the
    // first row highlighted, the labels on, the keys registered. False, with nothing left
    // registered, when Esc or Enter cannot be had (another program holds one system-wide):
    // keys meant for the panel would reach the user's window, and Enter would send whatever is
    // typed there. Without a row key (held the same way) only its label is missing.
    // `hotkeyKey` is the opening hotkey's own key: held on, it repeats, and it is no new press.
    // The same as `prepare` and then `takeKeys`.
    bool open(int replyCount, int pointerX, int pointerY, std::uint16_t hotkeyKey = 0);
    // The mode on, with every row of a key labelled, and no key taken yet: the panel can be on
    // screen before the fifty-odd registrations, which the user cannot outpace.
    void prepare(int replyCount, int pointerX, int pointerY, std::uint16_t hotkeyKey = 0);
    // Registers the keys; false, the mode ended and nothing left registered, without Esc or
    // Enter. A row key another program holds loses its label; without every letter there is no
    // search, and the letters and Backspace are given back.
    bool takeKeys();
    // The keys another program held when they were taken (panel key ids), for the panel to
    // name; and whether the letters type a search.
    const std::vector<std::uint16_t>& refusedKeys() const { return refused_; }
    bool searchOffered() const { return searchOffered_; }
    // The panel has tabs: the keys that switch groups and pages are taken with the others.
    void setGroupKeys(bool on) { groupKeys_ = on; }
    // Another group or page is shown, of `replyCount` rows: the first highlighted, and the row
    // keys taken or given back to match while the mode holds its keys.
    void changeRows(int replyCount);
    bool keysTaken() const { return active_ && keysTaken_; }
    // Where the pointer rests, when it was not known at `prepare`.
    void notePointer(int x, int y) { pointerX_ = x, pointerY_ = y; }
    // The mode holds its keys (also while a pick of it is going out).
    bool active() const { return active_; }
    // A pick by key is going out: the keys stay taken, and do nothing, until it has (see
    // BarController::pickRow). The letters are taken then even without a search: a key typed
    // meanwhile would join the message being sent.
    void startPick();
    bool picking() const { return active_ && picking_; }
    // The key was down when the mode opened and has not been let go since.
    bool stillHeld(std::uint16_t virtualKey) const {
        return active_ && (!heldNoted_ || heldSinceOpening_.count(virtualKey));
    }
    // Notes which of the mode's keys (and the hotkey's own) are down now; true when some are.
    bool noteHeldKeys();
    // Forgets the keys that have been let go; true while some are still held.
    bool watchHeldKeys();
    // The highlighted row while active.
    std::optional<int> highlight() const;
    // The key label of a row while active, for rows whose key the mode holds.
    std::wstring label(int row) const;

    // WM_HOTKEY with one of the panel's ids: Pick with the row to pick exactly as a click on it
    // would, Move once the highlight moved, and the others as actionOfKey has them. Esc clears
    // a search (`searching`: letters are typed) or else ends the mode, keys given back, before
    // it returns. A pick leaves it on: the caller pastes first (Ctrl+V is none of the panel's
    // keys) and then ends it with Picked, before anything else can reach the user (a message
    // box, the send key).
    PanelKeyAction keyPressed(int id, bool searching = false);
    // The pointer over the panel. A move away from where it was at the opening is the mouse
    // taking over; the move the system reports when the panel appears under a resting pointer
    // is not. True when it ended the mode.
    bool pointerMoved(int x, int y);
    // Ends the mode, keys given back; nothing when it is not on.
    void end(KeyboardModeEnd why);
    // Gives back one key, the mode staying on: the pick's send key goes out through it while
    // the other keys are still the bar's, so a key that reaches the system meanwhile cannot
    // land in the message ahead of it.
    void giveBack(std::uint16_t virtualKey);
    // How the mode last ended; nullopt while on and before the first opening.
    std::optional<KeyboardModeEnd> lastEnd() const { return lastEnd_; }

private:
    void releaseKeys();
    void registerKeys(const std::vector<PanelKey>& keys);

    IHotkeys& hotkeys_;
    IKeys* keys_;
    bool active_ = false;
    bool picking_ = false;
    bool keysTaken_ = false;
    std::set<std::uint16_t> heldSinceOpening_;
    std::uint16_t hotkeyKey_ = 0;
    bool heldNoted_ = false;
    bool groupKeys_ = false;
    bool searchOffered_ = true;
    std::vector<std::uint16_t> refused_;  // ids another program held at the taking
    int replyCount_ = 0;
    int highlight_ = -1;
    int pointerX_ = 0, pointerY_ = 0;
    std::set<std::uint16_t> held_;  // the virtual keys registered now
    std::optional<KeyboardModeEnd> lastEnd_;
};

}  // namespace replybar
