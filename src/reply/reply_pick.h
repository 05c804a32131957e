// Picking a reply: its text goes on the clipboard at the press on its row; at the release Ctrl+V
// goes to the window the user is typing in and, under auto-send, the send key after it (Ctrl+Enter
// or Enter, as the user chose).
//
// What lands in the user's chat must be the reply or nothing. So Ctrl+V goes out only while the
// clipboard verifiably holds the reply (our write, not changed since) and nobody else has it
// open, after the programs that read every new clip have had their turn, and only to the window
// that was in front at the release. A clipboard another program holds is tried again for a
// short while, with the message loop running; then the pick is given up with one message and
// no keystroke at all. The send key follows only a paste that nothing casts doubt on: otherwise
// it would send the user's half-typed draft without the reply.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/ports.h"
#include "core/keystrokes.h"

namespace replybar {

// How long the waits of a pick last, milliseconds.
// A busy clipboard is tried again every step, for this long after the release. Clipboard
// history, clipboard managers and input methods hold it for tens of milliseconds; what holds it
// longer than half a second is not letting go soon, and the user should hear of it.
inline constexpr unsigned kClipboardRetryMs = 500;
inline constexpr unsigned kClipboardRetryStepMs = 20;
// From our write to Ctrl+V at the least. Clipboard history and clipboard managers open the
// clipboard as soon as they hear of a new clip, and while one has it open the target's paste
// finds it locked and pastes nothing. They hear of it within a few milliseconds of the write;
// once this time has passed and the clipboard is free, they have had their turn. A mouse pick's
// time between press and release counts towards it.
inline constexpr unsigned kClipboardQuietMs = 50;
// From Ctrl+V taken by the target's thread to the send key. A classic edit control has pasted
// by then, but a chat client built on a browser engine hands the key to a renderer process,
// which reads the clipboard over another process hop and inserts the text on its next frame.
// No system call proves that moment (clipboard history and managers read every new clip at
// once, so even a delayed-rendered clip's read proves nothing), so the send key waits a few
// frames at 60 Hz: long enough for the paste, short enough that the user does not notice it.
inline constexpr unsigned kSendKeyDelayMs = 80;
// A remote-desktop client copies the clipboard to the remote side only when it hears of the
// change: the paste waits for the copy to get there.
inline constexpr unsigned kRemotePasteDelayMs = 400;

// The window classes of remote-desktop and virtual-desktop clients, whose sessions see a new
// clipboard only after a round trip to the remote side.
bool isRemoteDesktopClass(const std::wstring& windowClass);

// What the one who started a pick hears of its keys.
class IPickEvents {
public:
    virtual ~IPickEvents() = default;
    // The send key goes out next: whatever would catch it (the panel's own Enter) must let go.
    // Nothing else need: the pick ends just after it.
    virtual void beforeSendKey() = 0;
    // The pick is over: its keys are out, or it was given up.
    virtual void pickEnded() = 0;
};

class ReplyPick {
public:
    struct Ports {
        IClipboard& clipboard;
        IKeys& keys;
        IMessages& messages;
        ITargetWindow& target;
        ITimers& timers;
        IClock& clock;
        IPickEvents* events = nullptr;
    };
    explicit ReplyPick(Ports ports) : ports_(ports) {}

    // The press on a row: the reply goes on the clipboard, if the clipboard is free right now.
    void press(const std::wstring& text);
    // The release on a row: pastes the reply once the clipboard allows, to `window`: the window
    // that was in front when the user chose (at the press, or at the hotkey), by default the
    // one in front now. Keys go to no other window. An empty reply (or one whose file could not
    // be read) sends nothing at all, and the user hears why.
    void release(const std::wstring& text, bool autoSend,
                 std::optional<std::uintptr_t> window = std::nullopt);
    // The PickStep timer.
    void tick();
    // The key auto-send presses from the next release on; Ctrl+Enter until told otherwise.
    void setSendKey(keys::SendKey key) { sendKey_ = key; }
    keys::SendKey sendKey() const { return sendKey_; }
    bool pending() const { return pending_.has_value(); }

private:
    enum class Stage { Clipboard, Paste, SendKey };
    struct Pending {
        std::wstring text;
        std::uintptr_t window = 0;  // the foreground window when the user chose
        bool autoSend = false;
        keys::SendKey sendKey = keys::SendKey::CtrlEnter;
        bool remote = false;
        Stage stage = Stage::Clipboard;
        std::uint64_t deadline = 0;  // of the clipboard stage
        bool remoteWaited = false;
        bool checkedNow = false;  // the clipboard stage has just found it ready
        bool waited = false;      // a step of it waited since the release
        std::wstring holder;  // who held the clipboard at the last try
    };

    void advance();
    bool clipboardStage(Pending& p);
    bool pasteStage(Pending& p);
    void sendKeyStage(Pending& p);
    bool clipboardHoldsReply(Pending& p);
    bool clipboardFree(Pending& p);
    void paste(Pending& p);
    void waitFor(unsigned ms);
    void finish();
    void flush();
    bool sendKeys(keys::Chord chord, bool wait);

    Ports ports_;
    std::optional<std::wstring> written_;  // what our last clipboard write put there
    std::uint64_t writtenAt_ = 0;          // when, by the clock
    std::optional<Pending> pending_;
    bool timerArmed_ = false;  // PickStep runs
    bool remoteTold_ = false;  // once per start
    keys::SendKey sendKey_ = keys::SendKey::CtrlEnter;
};

}  // namespace replybar
