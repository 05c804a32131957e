#include "win/run_at_logon_win32.h"

#include <windows.h>

#include <vector>

#include "core/run_at_logon.h"
#include "win/handles.h"
#include "win/registry_win32.h"
#include "win/system_error_win32.h"

namespace replybar::win {

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kApprovalKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

}  // namespace

std::optional<std::wstring> RunAtLogon::read() {
    DWORD type = 0, size = 0;
    // REG_SZ takes in REG_EXPAND_SZ too, expanded (naming that type as well would be refused).
    const DWORD types = RRF_RT_REG_SZ;
    if (::RegGetValueW(HKEY_CURRENT_USER, kRunKey, kRunEntryName, types, &type, nullptr, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    // The value may change between the two calls: try again with the size it has then.
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::vector<wchar_t> buf(size / sizeof(wchar_t) + 1, L'\0');
        size = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
        const LSTATUS status = ::RegGetValueW(HKEY_CURRENT_USER, kRunKey, kRunEntryName, types,
                                              &type, buf.data(), &size);
        if (status == ERROR_SUCCESS) return std::wstring(buf.data());
        if (status != ERROR_MORE_DATA) return std::nullopt;
    }
    return std::nullopt;
}

bool RunAtLogon::write(const std::wstring& command, std::wstring& reason) {
    return writeUserValue(kRunKey, kRunEntryName, REG_SZ, command.c_str(),
                          static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)), reason);
}

bool RunAtLogon::remove(std::wstring& reason) {
    HKEY raw = nullptr;
    LSTATUS status = ::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &raw);
    if (status == ERROR_SUCCESS) {
        UniqueKey key(raw);
        status = ::RegDeleteValueW(key.get(), kRunEntryName);
    }
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return true;
    reason = systemErrorText(static_cast<DWORD>(status));
    return false;
}

std::optional<std::string> RunAtLogon::startupApproval() {
    DWORD size = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, kApprovalKey, kRunEntryName, RRF_RT_REG_BINARY, nullptr,
                       nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::string bytes(size, '\0');
    if (::RegGetValueW(HKEY_CURRENT_USER, kApprovalKey, kRunEntryName, RRF_RT_REG_BINARY, nullptr,
                       bytes.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    bytes.resize(size);
    return bytes;
}

std::wstring exePath() {
    std::vector<wchar_t> buf(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return L"";
        if (n < buf.size()) return std::wstring(buf.data(), n);
        buf.resize(buf.size() * 2);  // cut short: a longer path
    }
}

}  // namespace replybar::win
