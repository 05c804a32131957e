#include "reply/reply_pick.h"

#include <algorithm>
#include <cwctype>
#include <utility>

#include "reply/reply_texts.h"

namespace replybar {
namespace {

bool equalNoCase(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
}

}  // namespace

bool isRemoteDesktopClass(const std::wstring& windowClass) {
    // The system's remote desktop client and its RemoteApp windows, and the common VDI and
    // remote-control clients' session windows.
    static const wchar_t* const kClasses[] = {L"TscShellContainerClass", L"RAIL_WINDOW",
                                              L"Transparent Windows Client",
                                              L"VMwareUnityHostWndClass", L"TV_CClientWindowClass"};
    for (const wchar_t* c : kClasses)
        if (equalNoCase(windowClass, c)) return true;
    // The open-source RDP client names its windows after itself.
    const std::wstring prefix = windowClass.substr(0, 7);
    return equalNoCase(prefix, L"FreeRDP") || equalNoCase(windowClass.substr(0, 8), L"wfreerdp");
}

void ReplyPick::press(const std::wstring& text) {
    flush();
    if (text.empty()) return;  // nothing to paste; the release says so
    if (ports_.clipboard.setText(text)) {
        written_ = text;
        writtenAt_ = ports_.clock.milliseconds();
    } else {
        written_.reset();
    }
}

void ReplyPick::release(const std::wstring& text, bool autoSend,
                        std::optional<std::uintptr_t> window) {
    flush();
    // Ctrl+V of nothing and then the send key would send the user's draft alone.
    if (text.empty()) {
        ports_.messages.show(texts::kEmptyReplyPicked, texts::kMessageTitle, MessageKind::Info);
        if (ports_.events) ports_.events->pickEnded();
        return;
    }
    // Keys sent to a program run as administrator would vanish: say so, and leave the reply on
    // the clipboard for the user to paste by hand.
    if (ports_.target.foregroundIntegrity() == TargetIntegrity::Higher) {
        if (written_ != text && ports_.clipboard.setText(text)) written_ = text;
        ports_.messages.show(texts::kTargetElevated, texts::kMessageTitle, MessageKind::Info);
        if (ports_.events) ports_.events->pickEnded();
        return;
    }
    Pending p;
    p.text = text;
    p.window = window.value_or(ports_.target.foreground());
    p.autoSend = autoSend;
    p.sendKey = sendKey_;
    p.remote = isRemoteDesktopClass(ports_.target.foregroundClass());
    p.deadline =
        ports_.clock.milliseconds() + kClipboardRetryMs + (p.remote ? kRemotePasteDelayMs : 0);
    pending_ = std::move(p);
    advance();
}

void ReplyPick::tick() {
    ports_.timers.disable(TimerId::PickStep);
    timerArmed_ = false;
    advance();
}

// Runs the pick as far as it can go now; a stage that has to wait arms the timer and returns.
void ReplyPick::advance() {
    for (bool goOn = true; goOn && pending_;) {
        Pending& p = *pending_;
        switch (p.stage) {
            case Stage::Clipboard: goOn = clipboardStage(p); break;
            case Stage::Paste: goOn = pasteStage(p); break;
            case Stage::SendKey: sendKeyStage(p); return;
        }
    }
}

// The reply on the clipboard, quiet for long enough and held by nobody; false while waiting or
// once the pick is given up.
bool ReplyPick::clipboardStage(Pending& p) {
    // The cheap look first: the quiet time is waited out without asking who has the clipboard
    // open.
    const bool held = clipboardHoldsReply(p);
    const std::uint64_t now = ports_.clock.milliseconds();
    if (held && now < writtenAt_ + kClipboardQuietMs) {
        waitFor(static_cast<unsigned>(writtenAt_ + kClipboardQuietMs - now));
        return false;
    }
    if (!held || !clipboardFree(p)) {
        if (now < p.deadline) {
            waitFor(kClipboardRetryStepMs);
            return false;
        }
        const std::wstring text = texts::clipboardBusy(p.holder);
        finish();
        ports_.messages.show(text, texts::kMessageTitle, MessageKind::Info);
        return false;
    }
    p.stage = Stage::Paste;
    if (p.remote && !p.remoteWaited) {
        p.remoteWaited = true;
        waitFor(kRemotePasteDelayMs);
        return false;
    }
    p.checkedNow = true;
    return true;
}

// Ctrl+V, to the window the user chose in, with the reply still ours on the clipboard; false
// once it went out or the pick was given up, true to look at the clipboard again.
bool ReplyPick::pasteStage(Pending& p) {
    // The window in front may have changed since the user chose: after a wait, or between the
    // press and the release.
    if (ports_.target.foreground() != p.window) {
        finish();
        ports_.messages.show(texts::kWindowChanged, texts::kMessageTitle, MessageKind::Info);
        return false;
    }
    // Once more after a wait: another program may have written or opened it meanwhile.
    if (!std::exchange(p.checkedNow, false) &&
        !(written_ == p.text && ports_.clipboard.holdsOurText() &&
          ports_.clipboard.access(p.window, false) == IClipboard::Access::Free)) {
        p.stage = Stage::Clipboard;
        p.remoteWaited = false;
        return true;
    }
    paste(p);
    return false;
}

void ReplyPick::sendKeyStage(Pending& p) {
    // The user went to another window: the send key is not theirs to get.
    if (ports_.target.foreground() != p.window) return finish();
    // Held open now, the clipboard may still be keeping a slow target from the paste.
    if (ports_.clipboard.access(p.window, true) == IClipboard::Access::ByOther) {
        finish();
        ports_.messages.show(texts::kPasteInDoubt, texts::kMessageTitle, MessageKind::Info);
        return;
    }
    if (ports_.events) ports_.events->beforeSendKey();
    sendKeys(keys::chordOf(p.sendKey), false);
    finish();
}

bool ReplyPick::clipboardHoldsReply(Pending& p) {
    if (written_ == p.text && ports_.clipboard.holdsOurText()) return true;
    if (ports_.clipboard.setText(p.text)) {
        written_ = p.text;
        writtenAt_ = ports_.clock.milliseconds();
        return ports_.clipboard.holdsOurText();
    }
    written_.reset();
    p.holder = ports_.clipboard.holderName();
    return false;
}

// Nobody has the clipboard open: a reader that has it open now would make the paste fail.
bool ReplyPick::clipboardFree(Pending& p) {
    if (ports_.clipboard.access(p.window, false) == IClipboard::Access::Free) return true;
    p.holder = ports_.clipboard.holderName();
    return false;
}

void ReplyPick::paste(Pending& p) {
    if (!sendKeys(keys::Chord::Paste, true)) return finish();
    // Signs that the target found no reply to paste: another program had the clipboard open
    // as the target took the keys, someone wrote over it, or the window in front changed.
    const bool inDoubt = ports_.clipboard.access(p.window, true) == IClipboard::Access::ByOther ||
                         !ports_.clipboard.holdsOurText() ||
                         ports_.target.foreground() != p.window;
    if (p.autoSend && !p.remote && inDoubt) {
        finish();
        ports_.messages.show(texts::kPasteInDoubt, texts::kMessageTitle, MessageKind::Info);
        return;
    }
    if (p.autoSend && !p.remote) {
        p.stage = Stage::SendKey;
        return waitFor(kSendKeyDelayMs);
    }
    const bool tell = p.remote && p.autoSend && !remoteTold_;
    finish();
    if (tell) {
        remoteTold_ = true;
        ports_.messages.show(texts::kRemoteTarget, texts::kMessageTitle, MessageKind::Info);
    }
}

void ReplyPick::waitFor(unsigned ms) {
    if (pending_) pending_->waited = true;
    ports_.timers.enable(TimerId::PickStep, ms);
    timerArmed_ = true;
}

void ReplyPick::finish() {
    const bool wasPending = pending_.has_value();
    pending_.reset();
    // Only a timer that runs is stopped: the release of every pick passes here first.
    if (std::exchange(timerArmed_, false)) ports_.timers.disable(TimerId::PickStep);
    if (wasPending && ports_.events) ports_.events->pickEnded();
}

// A new press or release ends the pick before it: a send key still due goes out now, to the
// window it was meant for; a paste that has not happened yet is dropped, the user chose again.
void ReplyPick::flush() {
    if (pending_ && pending_->stage == Stage::SendKey) advance();
    finish();
}

bool ReplyPick::sendKeys(keys::Chord chord, bool wait) {
    if (ports_.keys.send(chord, wait)) return true;
    ports_.messages.show(texts::kKeysFailed, texts::kNoticeTitle, MessageKind::Info);
    return false;
}

}  // namespace replybar
