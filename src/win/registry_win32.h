// The settings string in HKCU "Software\DAZ\Registry", value "String3", REG_SZ.
#pragma once

#include "core/ports.h"

namespace replybar::win {

class RegistrySettingsStore : public ISettingsStore {
public:
    std::wstring read() override;
    void write(const std::wstring& text) override;
};

}  // namespace replybar::win
