// The settings string in HKCU "Software\DAZ\Registry", value "String3", REG_SZ.
#pragma once

#include "core/ports.h"

namespace replybar::win {

class RegistrySettingsStore : public ISettingsStore {
public:
    std::wstring read() override;
    bool write(const std::wstring& text, std::wstring& reason) override;
};

}  // namespace replybar::win
