// The station's fields kept in the registry, under
// HKEY_CURRENT_USER\Software\Vorlen\Station, one string value each.
#pragma once

#include "dialog/station_settings.h"

namespace vorlen::win32 {

class RegistryStore : public fleet::SettingsStore {
public:
    std::optional<std::string> Read(const std::string& key) const override;
    std::string Write(const std::string& key, const std::string& value) override;
};

}  // namespace vorlen::win32
