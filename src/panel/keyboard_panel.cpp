#include "panel/keyboard_panel.h"

#include <algorithm>
#include <iterator>

#include "core/key_settings.h"

namespace replybar {

namespace {

using keys::kDown, keys::kEnd, keys::kEscape, keys::kHome, keys::kReturn, keys::kUp;
using keys::kLeft, keys::kRight, keys::kTab, keys::kShiftTab, keys::kPageUp, keys::kPageDown;
using keys::kBack;

constexpr std::uint16_t kNumpad0 = 0x60, kNumpad1 = 0x61, kNumpad9 = 0x69;

std::uint16_t keyOfRow(int row) {
    if (row < 0 || row >= kKeyedRows) return 0;
    if (row < 9) return static_cast<std::uint16_t>('1' + row);
    return '0';
}

bool isLetter(std::uint16_t vk) { return vk >= 'A' && vk <= 'Z'; }
// The letters with and without Shift, and Backspace: the search's keys.
bool isSearchKey(std::uint16_t id) { return isLetter(virtualKeyOf(id)) || id == kBack; }

}  // namespace

std::uint16_t virtualKeyOf(std::uint16_t id) {
    if (id == keys::kShiftTab) return kTab;
    if (id > kShiftedLetter) return static_cast<std::uint16_t>(id - kShiftedLetter);
    return id;
}

std::wstring panelKeyName(std::uint16_t id) {
    const std::uint16_t vk = virtualKeyOf(id);
    const std::wstring shift = id > kShiftedLetter || id == keys::kShiftTab ? L"Shift+" : L"";
    if ((vk >= '0' && vk <= '9') || isLetter(vk)) return shift + static_cast<wchar_t>(vk);
    if (vk >= kNumpad0 && vk <= kNumpad9)
        return L"小键盘 " + std::wstring(1, static_cast<wchar_t>(L'0' + vk - kNumpad0));
    switch (vk) {
        case kEscape: return L"Esc";
        case kReturn: return L"Enter";
        case kBack: return L"Backspace";
        case kUp: return L"↑";
        case kDown: return L"↓";
        case kLeft: return L"←";
        case kRight: return L"→";
        case kHome: return L"Home";
        case kEnd: return L"End";
        case kTab: return shift + L"Tab";
        case kPageUp: return L"PageUp";
        case kPageDown: return L"PageDown";
    }
    return L"?";
}

std::optional<int> rowOfKey(std::uint16_t vk) {
    if (vk >= '1' && vk <= '9') return vk - '1';
    if (vk == '0') return 9;
    if (vk >= kNumpad1 && vk <= kNumpad9) return vk - kNumpad1;
    if (vk == kNumpad0) return 9;
    return std::nullopt;
}

std::wstring rowKeyLabel(int row, int replyCount) {
    if (row >= replyCount) return L"";
    const std::uint16_t vk = keyOfRow(row);
    return vk ? std::wstring(1, static_cast<wchar_t>(vk)) : L"";
}

int movedHighlight(int row, HighlightMove move, int replyCount) {
    if (replyCount <= 0) return -1;
    switch (move) {
        case HighlightMove::Up: return row <= 0 ? replyCount - 1 : std::min(row, replyCount) - 1;
        case HighlightMove::Down: return row < 0 || row >= replyCount - 1 ? 0 : row + 1;
        case HighlightMove::First: return 0;
        case HighlightMove::Last: return replyCount - 1;
    }
    return row;
}

PanelKeyAction actionOfKey(std::uint16_t id, int replyCount) {
    if (const auto row = rowOfKey(id))
        return *row < replyCount ? PanelKeyAction{PanelKeyAction::Pick, *row} : PanelKeyAction{};
    const std::uint16_t vk = id == keys::kShiftTab ? id : virtualKeyOf(id);
    if (isLetter(vk)) return {PanelKeyAction::Letter, 'a' + (vk - 'A')};
    switch (vk) {
        case kBack: return {PanelKeyAction::Backspace};
        case kUp: return {PanelKeyAction::Move, -1, HighlightMove::Up};
        case kDown: return {PanelKeyAction::Move, -1, HighlightMove::Down};
        case kHome: return {PanelKeyAction::Move, -1, HighlightMove::First};
        case kEnd: return {PanelKeyAction::Move, -1, HighlightMove::Last};
        case kReturn: return {PanelKeyAction::Pick, -1};
        case kEscape: return {PanelKeyAction::Close};
        case kLeft:
        case kShiftTab: return {PanelKeyAction::Group, -1};
        case kRight:
        case kTab: return {PanelKeyAction::Group, 1};
        case kPageUp: return {PanelKeyAction::Page, -1};
        case kPageDown: return {PanelKeyAction::Page, 1};
        default: return {};
    }
}

std::vector<PanelKey> panelKeys(bool groupKeys, bool searchKeys) {
    // Esc and Enter first: keyboard mode does not start without them.
    std::vector<PanelKey> out{
        {kEscape, keys::kModNoRepeat}, {kReturn, keys::kModNoRepeat}, {kUp, 0}, {kDown, 0},
        {kHome, keys::kModNoRepeat},   {kEnd, keys::kModNoRepeat}};
    // Every digit whatever the rows: a digit no row answers must not reach the chat either.
    for (int row = 0; row < kKeyedRows; ++row) out.push_back({keyOfRow(row), keys::kModNoRepeat});
    for (std::uint16_t vk = kNumpad0; vk <= kNumpad9; ++vk)
        out.push_back({vk, keys::kModNoRepeat});
    if (searchKeys) {
        for (std::uint16_t vk = 'A'; vk <= 'Z'; ++vk) {
            out.push_back({vk, keys::kModNoRepeat});
            out.push_back({vk, keys::kModShift | keys::kModNoRepeat,
                           static_cast<std::uint16_t>(kShiftedLetter + vk)});
        }
        out.push_back({kBack, 0});
    }
    if (groupKeys)
        out.insert(out.end(), {{kLeft, 0},
                               {kRight, 0},
                               {kTab, 0},
                               {kTab, keys::kModShift, kShiftTab},
                               {kPageUp, 0},
                               {kPageDown, 0}});
    return out;
}

bool clickWentToBar(std::optional<bool> windowUnderPointerIsBar, int x, int y, int left, int top,
                    int right, int bottom) {
    if (windowUnderPointerIsBar) return *windowUnderPointerIsBar;
    return x >= left && x < right && y >= top && y < bottom;
}

bool KeyboardPanel::open(int replyCount, int pointerX, int pointerY, std::uint16_t hotkeyKey) {
    prepare(replyCount, pointerX, pointerY, hotkeyKey);
    return takeKeys();
}

void KeyboardPanel::prepare(int replyCount, int pointerX, int pointerY, std::uint16_t hotkeyKey) {
    end(KeyboardModeEnd::SessionEnded);  // never two sets of keys
    active_ = true;
    keysTaken_ = false;
    picking_ = false;
    lastEnd_.reset();
    heldSinceOpening_.clear();
    hotkeyKey_ = hotkeyKey;
    heldNoted_ = keys_ == nullptr;
    replyCount_ = std::max(replyCount, 0);
    highlight_ = replyCount_ > 0 ? 0 : -1;
    pointerX_ = pointerX, pointerY_ = pointerY;
}

bool KeyboardPanel::takeKeys() {
    if (!active_ || keysTaken_) return active_;
    keysTaken_ = true;
    searchOffered_ = true;
    refused_.clear();
    registerKeys(panelKeys(groupKeys_, true));
    if (!held_.count(kEscape) || !held_.count(kReturn)) {
        releaseKeys();
        active_ = false;
        highlight_ = -1;
        return false;
    }
    // A search that some letter could not reach would send that letter to the chat.
    if (std::any_of(refused_.begin(), refused_.end(),
                    [](std::uint16_t id) { return isLetter(virtualKeyOf(id)); })) {
        searchOffered_ = false;
        for (auto it = held_.begin(); it != held_.end();) {
            if (!isSearchKey(*it)) {
                ++it;
                continue;
            }
            hotkeys_.unregisterKey(panelKeyHotkeyId(*it));
            it = held_.erase(it);
        }
    }
    return true;
}

std::optional<int> KeyboardPanel::highlight() const {
    if (!active_ || highlight_ < 0) return std::nullopt;
    return highlight_;
}

std::wstring KeyboardPanel::label(int row) const {
    // Until the keys are taken every row of a key is labelled: the panel is drawn before.
    if (!active_ || (keysTaken_ && !held_.count(keyOfRow(row)))) return L"";
    return rowKeyLabel(row, replyCount_);
}

PanelKeyAction KeyboardPanel::keyPressed(int id, bool searching) {
    const int vk = id - hotkeyId(HotkeyId::PanelKeys);
    if (!active_ || picking_ || vk < 0 || !held_.count(static_cast<std::uint16_t>(vk))) return {};
    // Still down from before the mode: a repeat, not the user's choice.
    if (stillHeld(static_cast<std::uint16_t>(vk))) {
        if (!heldNoted_) heldSinceOpening_.insert(static_cast<std::uint16_t>(vk));
        return {};
    }
    PanelKeyAction action = actionOfKey(static_cast<std::uint16_t>(vk), replyCount_);
    switch (action.kind) {
        // The mode stays on until the pick's paste is out: giving the keys back first would
        // keep the text from the chat for as long as that takes.
        case PanelKeyAction::Pick:
            if (action.row < 0) action.row = highlight_;
            return action.row < 0 ? PanelKeyAction{} : action;
        case PanelKeyAction::Move: {
            const int moved = movedHighlight(highlight_, action.move, replyCount_);
            if (moved == highlight_) return {};
            highlight_ = moved;
            return action;
        }
        case PanelKeyAction::Close:
            if (searching) return {PanelKeyAction::ClearSearch};
            end(KeyboardModeEnd::Escaped);
            return action;
        default: return action;
    }
}

void KeyboardPanel::startPick() {
    if (!active_) return;
    picking_ = true;
    if (searchOffered_) return;  // the letters are the bar's already
    for (std::uint16_t vk = 'A'; vk <= 'Z'; ++vk)
        if (!held_.count(vk) && hotkeys_.registerKey(panelKeyHotkeyId(vk), 0, vk))
            held_.insert(vk);
}

bool KeyboardPanel::noteHeldKeys() {
    if (!active_ || !keysTaken_ || heldNoted_) return !heldSinceOpening_.empty();
    heldNoted_ = true;
    for (const std::uint16_t id : held_)
        if (keys_->isDown(virtualKeyOf(id))) heldSinceOpening_.insert(id);
    if (hotkeyKey_ && keys_->isDown(hotkeyKey_)) heldSinceOpening_.insert(hotkeyKey_);
    return watchHeldKeys();
}

bool KeyboardPanel::watchHeldKeys() {
    if (!keys_) heldSinceOpening_.clear();
    for (auto it = heldSinceOpening_.begin(); it != heldSinceOpening_.end();)
        it = keys_->isDown(virtualKeyOf(*it)) ? std::next(it) : heldSinceOpening_.erase(it);
    return !heldSinceOpening_.empty();
}

bool KeyboardPanel::pointerMoved(int x, int y) {
    if (!active_ || picking_ || (x == pointerX_ && y == pointerY_)) return false;
    end(KeyboardModeEnd::MouseTookOver);
    return true;
}

void KeyboardPanel::end(KeyboardModeEnd why) {
    if (!active_) return;
    releaseKeys();
    active_ = false;
    picking_ = false;
    keysTaken_ = false;
    heldSinceOpening_.clear();
    heldNoted_ = false;
    highlight_ = -1;
    lastEnd_ = why;
}

// Stops at a refused Esc or Enter: the mode does not start without them. Every key refused is
// noted, for the panel to name.
void KeyboardPanel::registerKeys(const std::vector<PanelKey>& keys) {
    for (const PanelKey& k : keys) {
        if (held_.count(k.id())) continue;
        if (hotkeys_.registerKey(panelKeyHotkeyId(k.id()), k.modifiers, k.virtualKey)) {
            held_.insert(k.id());
            continue;
        }
        if (std::find(refused_.begin(), refused_.end(), k.id()) == refused_.end())
            refused_.push_back(k.id());
        if (k.virtualKey == kEscape || k.virtualKey == kReturn) break;
    }
}

void KeyboardPanel::changeRows(int replyCount) {
    if (!active_) return;
    replyCount_ = std::max(replyCount, 0);
    highlight_ = replyCount_ > 0 ? 0 : -1;
    if (!keysTaken_ || picking_) return;
    const std::vector<PanelKey> wanted = panelKeys(groupKeys_, searchOffered_);
    for (auto it = held_.begin(); it != held_.end();) {
        const bool keep = std::any_of(wanted.begin(), wanted.end(),
                                      [&](const PanelKey& k) { return k.id() == *it; });
        if (keep) {
            ++it;
        } else {
            hotkeys_.unregisterKey(panelKeyHotkeyId(*it));
            it = held_.erase(it);
        }
    }
    registerKeys(wanted);
}

// Every key, even when one is refused: the others must not stay taken.
void KeyboardPanel::giveBack(std::uint16_t virtualKey) {
    if (held_.erase(virtualKey)) hotkeys_.unregisterKey(panelKeyHotkeyId(virtualKey));
}

void KeyboardPanel::releaseKeys() {
    for (const std::uint16_t vk : held_) hotkeys_.unregisterKey(panelKeyHotkeyId(vk));
    held_.clear();
}

}  // namespace replybar
