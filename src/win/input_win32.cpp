#include "win/input_win32.h"

#include <array>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "win/handles.h"
#include "win/keystrokes.h"

namespace replybar::win {

bool Clipboard::setText(const std::wstring& text) {
    // Another program may hold the clipboard for a moment.
    bool opened = false;
    for (int i = 0; i < 10 && !(opened = ::OpenClipboard(owner_)); ++i) ::Sleep(10);
    if (!opened) return false;
    ::EmptyClipboard();
    bool ok = false;
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (void* p = ::GlobalLock(mem)) {
            std::memcpy(p, text.c_str(), bytes);
            ::GlobalUnlock(mem);
            ok = ::SetClipboardData(CF_UNICODETEXT, mem) != nullptr;
        }
        if (!ok) ::GlobalFree(mem);
    }
    ::CloseClipboard();
    return ok;
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
    if (!codes[vk & 0xFF]) codes[vk & 0xFF] = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
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
    for (std::size_t i = 0; i < events; ++i) {
        DWORD_PTR result = 0;
        if (!::SendMessageTimeoutW(target, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 250,
                                   &result))
            break;
    }
}

}  // namespace

bool KeySender::send(const std::wstring& notation, bool wait) {
    const auto plan = keys::planKeys(notation, heldModifiers());
    if (!plan) return false;
    std::vector<INPUT> inputs;
    for (const keys::KeyEvent& e : *plan) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = e.vk;
        in.ki.wScan = scanCode(e.vk);
        in.ki.dwFlags =
            (e.up ? KEYEVENTF_KEYUP : 0) | (isExtended(e.vk) ? KEYEVENTF_EXTENDEDKEY : 0);
        inputs.push_back(in);
    }
    const UINT sent = ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (wait) waitUntilProcessed(inputs.size());
    return sent == inputs.size();
}

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
    TargetIntegrity answer = TargetIntegrity::Unknown;
    const UniqueKernelHandle process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (process && ours) {
        if (const auto theirs = integrityOf(process.get()))
            answer = *theirs > *ours ? TargetIntegrity::Higher : TargetIntegrity::SameOrLower;
    }
    lastWindow_ = foreground, lastProcess_ = pid, lastAnswer_ = answer;
    return answer;
}

}  // namespace replybar::win
