#include "win/input_win32.h"

#include <array>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "core/target_integrity.h"
#include "win/handles.h"
#include "core/keystrokes.h"

namespace replybar::win {

namespace {

// Puts `bytes` of `data` on the open clipboard in `format`. The memory is the system's once
// SetClipboardData took it, and freed here when it did not.
bool putData(UINT format, const void* data, SIZE_T bytes) {
    HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!mem) return false;
    if (void* p = ::GlobalLock(mem)) {
        std::memcpy(p, data, bytes);
        ::GlobalUnlock(mem);
        if (::SetClipboardData(format, mem)) return true;
    }
    ::GlobalFree(mem);
    return false;
}

}  // namespace

// One attempt: a program holding the clipboard is waited for by the pick, with the message loop
// running, not here.
bool Clipboard::setText(const std::wstring& text) {
    if (!::OpenClipboard(owner_)) return false;
    const bool ok = ::EmptyClipboard() &&
                    putData(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    if (ok) {
        // The text's language: programs that paste ANSI text get it converted through the
        // Chinese code page, not the system's (which may not hold the characters), and not
        // question marks.
        const LCID chinese =
            MAKELCID(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), SORT_DEFAULT);
        putData(CF_LOCALE, &chinese, sizeof chinese);
        // Formats that keep a reply out of the places it has no business in: Windows' clipboard
        // history and the cloud clipboard shared across the user's devices. A reply is the
        // user's message to a customer; with a DWORD 0 under each name, Windows keeps neither.
        static const UINT history = ::RegisterClipboardFormatW(L"CanIncludeInClipboardHistory");
        static const UINT cloud = ::RegisterClipboardFormatW(L"CanUploadToCloudClipboard");
        const DWORD no = 0;
        for (UINT format : {history, cloud})
            if (format) putData(format, &no, sizeof no);
    }
    ::CloseClipboard();
    // The number the system gives the clipboard's content once we closed it: any later write,
    // by anyone, changes it.
    sequence_ = ok ? ::GetClipboardSequenceNumber() : 0;
    return ok;
}

bool Clipboard::holdsOurText() {
    return sequence_ != 0 && ::GetClipboardSequenceNumber() == sequence_ &&
           ::GetClipboardOwner() == owner_;
}

std::wstring Clipboard::holderName() {
    const HWND holder = ::GetOpenClipboardWindow();
    if (!holder) return {};
    wchar_t buf[256] = {};
    if (::GetWindowTextW(holder, buf, 256) > 0) return buf;
    // A hidden clipboard window has no title; its top-level owner may have one.
    const HWND root = ::GetAncestor(holder, GA_ROOTOWNER);
    if (root && root != holder && ::GetWindowTextW(root, buf, 256) > 0) return buf;
    return ::GetClassNameW(holder, buf, 256) > 0 ? buf : L"";
}

IClipboard::Access Clipboard::access(std::uintptr_t target, bool thorough) {
    if (const HWND holder = ::GetOpenClipboardWindow()) {
        DWORD holderPid = 0, targetPid = 0;
        ::GetWindowThreadProcessId(holder, &holderPid);
        if (target) ::GetWindowThreadProcessId(reinterpret_cast<HWND>(target), &targetPid);
        if (holderPid == ::GetCurrentProcessId()) return Access::Free;
        return holderPid != 0 && holderPid == targetPid ? Access::ByTarget : Access::ByOther;
    }
    // A program may open it without a window, and then only an attempt of our own tells. It
    // changes nothing (no write, no new sequence number, no listener woken), but it is a round
    // trip or two to the system, so the pick asks for it only after its Ctrl+V.
    if (!thorough) return Access::Free;
    if (!::OpenClipboard(owner_)) return Access::ByOther;
    ::CloseClipboard();
    return Access::Free;
}

// A program that has the clipboard open to read a new clip lets go within a few milliseconds: a
// few tries, then the clipboard counts as holding no text.
std::optional<std::wstring> Clipboard::readText() {
    bool open = false;
    for (int attempt = 0; attempt < 5 && !(open = ::OpenClipboard(owner_)); ++attempt)
        ::Sleep(10);
    if (!open) return std::nullopt;
    std::optional<std::wstring> text;
    if (const HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* p = static_cast<const wchar_t*>(::GlobalLock(data))) {
            // Up to the first NUL, never past the memory's end.
            const SIZE_T chars = ::GlobalSize(data) / sizeof(wchar_t);
            SIZE_T n = 0;
            while (n < chars && p[n]) ++n;
            text.emplace(p, n);
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

namespace {

bool down(int vk) { return (::GetAsyncKeyState(vk) & 0x8000) != 0; }

// Left and right apart, but asked only when the key of either side is down: a pick usually
// finds none held, and every question goes to the system.
keys::HeldModifiers heldModifiers() {
    keys::HeldModifiers held;
    const std::pair<int, std::array<std::uint16_t, 2>> sides[] = {
        {VK_SHIFT, {keys::kLShift, keys::kRShift}},
        {VK_CONTROL, {keys::kLControl, keys::kRControl}},
        {VK_MENU, {keys::kLMenu, keys::kRMenu}}};
    for (const auto& [either, pair] : sides)
        if (down(either))
            for (std::uint16_t vk : pair)
                if (down(vk)) held.keys.push_back(vk);
    for (std::uint16_t vk : {keys::kLWin, keys::kRWin})
        if (down(vk)) held.keys.push_back(vk);
    return held;
}

// A key's scan code, asked of the system once per key.
WORD scanCode(std::uint16_t vk) {
    static std::array<WORD, 256> codes{};
    if (!codes[vk & 0xFF])
        codes[vk & 0xFF] = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    return codes[vk & 0xFF];
}

bool isExtended(std::uint16_t vk) {
    return vk == keys::kRControl || vk == keys::kRMenu || vk == keys::kLWin || vk == keys::kRWin;
}

// Waits until the thread of the focused window has handled the injected keys: a message sent to
// it is handled at its next GetMessage, before the next queued message, so each answered send
// means one more of its messages was taken. A key-down of the chord and the character it makes
// are where the paste happens; the key-ups after it need no waiting, they queue behind it.
void waitUntilProcessed(std::size_t events) {
    HWND target = ::GetForegroundWindow();
    if (!target) return;
    // A sent message is handled before the input waiting in the same queue: asked at once, the
    // target would answer it first and paste only after. A moment's pause lets it take the keys
    // first; the sends below still make sure it has.
    ::Sleep(1);
    for (std::size_t i = 0; i < events; ++i) {
        DWORD_PTR result = 0;
        if (!::SendMessageTimeoutW(target, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 250,
                                   &result))
            break;
    }
}

std::vector<INPUT> inputsOf(const std::vector<keys::KeyEvent>& events) {
    std::vector<INPUT> inputs;
    for (const keys::KeyEvent& e : events) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = e.vk;
        in.ki.wScan = scanCode(e.vk);
        in.ki.dwFlags =
            (e.up ? KEYEVENTF_KEYUP : 0) | (isExtended(e.vk) ? KEYEVENTF_EXTENDEDKEY : 0);
        inputs.push_back(in);
    }
    return inputs;
}

UINT sendInputs(std::vector<INPUT>& inputs) {
    return ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

bool KeySender::send(keys::Chord chord, bool wait) {
    const std::vector<keys::KeyEvent> plan = keys::planKeys(chord, heldModifiers());
    std::vector<INPUT> inputs = inputsOf(plan);
    const UINT sent = sendInputs(inputs);
    if (sent < inputs.size()) {
        // Cut short (another desktop took the input, the system refused the rest): whatever
        // went down is let go again, or it would stay down for the user's next keys.
        std::vector<INPUT> releases = inputsOf(keys::releasesAfterPartial(plan, sent));
        if (!releases.empty()) sendInputs(releases);
    }
    if (wait) waitUntilProcessed(sent);
    return sent == inputs.size();
}

// A key the bar took as a hotkey, passed on: the user's own modifiers stay as they are.
bool KeySender::tap(std::uint16_t vk) {
    INPUT in[2]{};
    for (int i = 0; i < 2; ++i) {
        in[i].type = INPUT_KEYBOARD;
        in[i].ki.wVk = vk;
        in[i].ki.wScan = scanCode(vk);
        // The arrows, Home and End of the cursor block, not the number pad's.
        const bool cursorBlock = vk >= VK_PRIOR && vk <= VK_DOWN;
        in[i].ki.dwFlags = (i ? KEYEVENTF_KEYUP : 0) | (cursorBlock ? KEYEVENTF_EXTENDEDKEY : 0);
    }
    return ::SendInput(2, in, sizeof(INPUT)) == 2;
}

bool KeySender::isDown(std::uint16_t vk) { return down(vk); }

namespace {

// The mandatory integrity level of a process (the last sub-authority of its token's label), or
// nullopt when it cannot be read.
std::optional<DWORD> integrityOf(HANDLE process) {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(process, TOKEN_QUERY, &token)) return std::nullopt;
    const UniqueKernelHandle owned(token);
    DWORD size = 0;
    ::GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
    if (size < sizeof(TOKEN_MANDATORY_LABEL)) return std::nullopt;
    std::vector<BYTE> buffer(size);
    if (!::GetTokenInformation(token, TokenIntegrityLevel, buffer.data(), size, &size))
        return std::nullopt;
    const PSID sid = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data())->Label.Sid;
    if (!sid || !::IsValidSid(sid)) return std::nullopt;
    const UCHAR count = *::GetSidSubAuthorityCount(sid);
    if (count == 0) return std::nullopt;
    return *::GetSidSubAuthority(sid, count - 1u);
}

}  // namespace

TargetIntegrity TargetWindow::foregroundIntegrity() {
    DWORD pid = 0;
    const HWND foreground = ::GetForegroundWindow();
    if (foreground) ::GetWindowThreadProcessId(foreground, &pid);
    if (pid == 0) return TargetIntegrity::Unknown;
    if (foreground == lastWindow_ && pid == lastProcess_) return lastAnswer_;
    static const std::optional<DWORD> ours = integrityOf(::GetCurrentProcess());
    const UniqueKernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    // Windows refuses even this much access to a process of higher integrity, or a protected
    // one: both would drop our keys as well.
    const bool denied = !process && ::GetLastError() == ERROR_ACCESS_DENIED;
    const TargetIntegrity answer =
        compareIntegrity(denied, ours, process ? integrityOf(process.get()) : std::nullopt);
    lastWindow_ = foreground, lastProcess_ = pid, lastAnswer_ = answer;
    return answer;
}

std::uintptr_t TargetWindow::foreground() {
    return reinterpret_cast<std::uintptr_t>(::GetForegroundWindow());
}

std::wstring TargetWindow::foregroundClass() {
    const HWND h = ::GetForegroundWindow();
    if (h != classOf_) {
        wchar_t buf[256] = {};
        class_ = h && ::GetClassNameW(h, buf, 256) > 0 ? buf : L"";
        classOf_ = h;
    }
    return class_;
}

}  // namespace replybar::win
