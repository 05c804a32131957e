// The settings string in HKCU "Software\DAZ\Registry", value "String3", REG_SZ, and the
// numbers (REG_DWORD) and texts (REG_SZ) beside it under the same key, each a value of its own.
// The key and value names say nothing of this program, but existing installs keep their
// settings there.
#pragma once

#include <windows.h>

#include "core/ports.h"

namespace replybar::win {

// Writes a value under HKEY_CURRENT_USER\`key`, making the key when it is missing; false with the
// system's reason when it cannot.
bool writeUserValue(const wchar_t* key, const wchar_t* name, DWORD type, const void* data,
                    DWORD size, std::wstring& reason);

class RegistrySettingsStore : public ISettingsStore, public ISettingNumbers, public ISettingTexts {
public:
    std::wstring read() override;
    bool write(const std::wstring& text, std::wstring& reason) override;
    std::optional<std::uint32_t> readNumber(const std::wstring& name) override;
    bool writeNumber(const std::wstring& name, std::uint32_t value, std::wstring& reason) override;
    std::optional<std::wstring> readText(const std::wstring& name) override;
    bool writeText(const std::wstring& name, const std::wstring& text,
                   std::wstring& reason) override;
};

}  // namespace replybar::win
