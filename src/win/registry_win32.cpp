#include "win/registry_win32.h"

#include <windows.h>

#include <vector>

#include "win/handles.h"
#include "win/system_error_win32.h"

namespace replybar::win {

namespace {
constexpr wchar_t kKey[] = L"Software\\DAZ\\Registry";
constexpr wchar_t kValue[] = L"String3";
}  // namespace

namespace {

// A REG_SZ value up to its first NUL, stored with or without one; none when it is missing or of
// another type.
std::optional<std::wstring> readUserText(const wchar_t* name) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS)
        return std::nullopt;
    UniqueKey key(raw);
    DWORD type = 0, size = 0;
    if (::RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    // Room for a NUL the stored data may lack.
    std::vector<wchar_t> buf(size / sizeof(wchar_t) + 2, L'\0');
    DWORD got = static_cast<DWORD>((buf.size() - 1) * sizeof(wchar_t));
    if (::RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()),
                           &got) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    const std::size_t chars = got / sizeof(wchar_t);
    std::wstring text(buf.data(), chars);
    const auto nul = text.find(L'\0');
    return nul == std::wstring::npos ? text : text.substr(0, nul);
}

}  // namespace

std::wstring RegistrySettingsStore::read() { return readUserText(kValue).value_or(L""); }

bool writeUserValue(const wchar_t* key, const wchar_t* name, DWORD type, const void* data,
                    DWORD size, std::wstring& reason) {
    HKEY raw = nullptr;
    LSTATUS status = ::RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE,
                                       nullptr, &raw, nullptr);
    if (status == ERROR_SUCCESS) {
        UniqueKey opened(raw);
        status =
            ::RegSetValueExW(opened.get(), name, 0, type, static_cast<const BYTE*>(data), size);
    }
    if (status == ERROR_SUCCESS) return true;
    reason = systemErrorText(static_cast<DWORD>(status));
    return false;
}

bool RegistrySettingsStore::write(const std::wstring& text, std::wstring& reason) {
    if (text.empty()) return true;
    // Stored without a terminating NUL, as readers of this value have always found it.
    return writeUserValue(kKey, kValue, REG_SZ, text.data(),
                          static_cast<DWORD>(text.size() * sizeof(wchar_t)), reason);
}

std::optional<std::uint32_t> RegistrySettingsStore::readNumber(const std::wstring& name) {
    DWORD type = 0, value = 0, size = sizeof value;
    if (::RegGetValueW(HKEY_CURRENT_USER, kKey, name.c_str(), RRF_RT_ANY, &type, &value, &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return std::nullopt;
    return value;
}

bool RegistrySettingsStore::writeNumber(const std::wstring& name, std::uint32_t value,
                                        std::wstring& reason) {
    const DWORD number = value;
    return writeUserValue(kKey, name.c_str(), REG_DWORD, &number, sizeof number, reason);
}

std::optional<std::wstring> RegistrySettingsStore::readText(const std::wstring& name) {
    return readUserText(name.c_str());
}

bool RegistrySettingsStore::writeText(const std::wstring& name, const std::wstring& text,
                                      std::wstring& reason) {
    // With its terminating NUL, as REG_SZ is meant to be stored.
    return writeUserValue(kKey, name.c_str(), REG_SZ, text.c_str(),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)), reason);
}

}  // namespace replybar::win
