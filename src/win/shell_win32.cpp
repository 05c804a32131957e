#include "win/shell_win32.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shldisp.h>

#include <vector>

#include "core/message_titles.h"

namespace replybar::win {

namespace {

constexpr wchar_t kLongPrefix[] = L"\\\\?\\";
constexpr wchar_t kLongUncPrefix[] = L"\\\\?\\UNC\\";

bool isDrivePath(const std::wstring& p) {
    return p.size() >= 3 && p[1] == L':' && (p[2] == L'\\' || p[2] == L'/');
}
bool isUncPath(const std::wstring& p) { return p.rfind(L"\\\\", 0) == 0 && p.rfind(kLongPrefix, 0) != 0; }

}  // namespace

std::optional<std::wstring> chooseFileToOpen(HWND owner, const wchar_t* title,
                                             const wchar_t* filter, const std::wstring& initial) {
    // Room for a long path; the name goes in the buffer and its folder apart, so that a folder
    // that is gone opens the dialog at its usual place rather than failing it.
    std::vector<wchar_t> file(32768, L'\0');
    std::wstring folder;
    const std::size_t cut = initial.find_last_of(L"\\/");
    if (cut != std::wstring::npos && initial.size() - cut < file.size()) {
        folder = initial.substr(0, cut + 1);
        initial.copy(file.data(), initial.size() - cut - 1, cut + 1);
    }
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = title;
    // NOCHANGEDIR: the dialog would otherwise leave the process in the chosen folder.
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                OFN_NOCHANGEDIR | OFN_DONTADDTORECENT;
    if (!::GetOpenFileNameW(&ofn)) return std::nullopt;
    return std::wstring(file.data());
}

std::wstring shellOpenableForm(const std::wstring& target) {
    if (target.size() < MAX_PATH || !(isDrivePath(target) || isUncPath(target))) return target;
    const std::wstring longForm =
        isUncPath(target) ? kLongUncPrefix + target.substr(2) : kLongPrefix + target;
    const DWORD needed = ::GetShortPathNameW(longForm.c_str(), nullptr, 0);
    if (needed > 0) {
        std::wstring shortForm(needed, L'\0');
        const DWORD got = ::GetShortPathNameW(longForm.c_str(), shortForm.data(), needed);
        shortForm.resize(got < needed ? got : 0);
        // Back to the plain form the shell and the opened program understand.
        if (shortForm.rfind(kLongUncPrefix, 0) == 0)
            shortForm = L"\\\\" + shortForm.substr(8);
        else if (shortForm.rfind(kLongPrefix, 0) == 0)
            shortForm = shortForm.substr(4);
        if (!shortForm.empty() && shortForm.size() < MAX_PATH) return shortForm;
    }
    return longForm;
}

std::wstring shellFailureReason(INT_PTR code) {
    // Codes 26 to 32 are ShellExecute's own; the lower ones are Win32 errors.
    DWORD error = static_cast<DWORD>(code);
    switch (code) {
        case 0: error = ERROR_NOT_ENOUGH_MEMORY; break;
        case SE_ERR_SHARE: error = ERROR_SHARING_VIOLATION; break;
        case SE_ERR_ASSOCINCOMPLETE:
        case SE_ERR_NOASSOC: error = ERROR_NO_ASSOCIATION; break;
        case SE_ERR_DDETIMEOUT:
        case SE_ERR_DDEFAIL:
        case SE_ERR_DDEBUSY: error = ERROR_DDE_FAIL; break;
        case SE_ERR_DLLNOTFOUND: error = ERROR_DLL_NOT_FOUND; break;
        default: break;
    }
    wchar_t* text = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring reason = n && text ? std::wstring(text, n) : std::wstring();
    if (text) ::LocalFree(text);
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' || reason.back() == L' '))
        reason.pop_back();
    return reason.empty() ? L"错误代码 " + std::to_wstring(error) : reason;
}

void ShellOpener::open(const std::wstring& target) {
    const std::wstring form = shellOpenableForm(target);
    const INT_PTR code = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(owner_, L"open", form.c_str(), L"", L"", SW_SHOW));
    if (code > 32 || !messages_) return;
    messages_->show(L"无法打开“" + target + L"”：\n" + shellFailureReason(code), texts::kMessageTitle,
                    MessageKind::Error);
}

bool ShellDesktop::toggleDesktop() {
    IShellDispatch4* shell = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_Shell, nullptr, CLSCTX_INPROC_SERVER, IID_IShellDispatch4,
                                  reinterpret_cast<void**>(&shell))) ||
        !shell)
        return false;
    const HRESULT hr = shell->ToggleDesktop();
    shell->Release();
    return SUCCEEDED(hr);
}

int SystemClock::weekday() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return now.wDayOfWeek + 1;  // wDayOfWeek counts Sunday as 0
}

std::uint64_t SystemClock::milliseconds() { return ::GetTickCount64(); }

LocalTime localTimeNow() {
    SYSTEMTIME t{};
    ::GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute};
}

}  // namespace replybar::win
