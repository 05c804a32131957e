// The settings string in HKCU "Software\DAZ\Registry", value "String3", REG_SZ, and the
// numbers beside it under the same key, each a REG_DWORD value of its own.
#pragma once

#include "core/ports.h"

namespace replybar::win {

class RegistrySettingsStore : public ISettingsStore, public ISettingNumbers {
public:
    std::wstring read() override;
    bool write(const std::wstring& text, std::wstring& reason) override;
    std::optional<std::uint32_t> readNumber(const std::wstring& name) override;
    bool writeNumber(const std::wstring& name, std::uint32_t value, std::wstring& reason) override;
};

}  // namespace replybar::win
