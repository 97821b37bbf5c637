// The station's fields kept in QSettings: ~/.config/Vorlen/Vorlen.conf,
// group "station".
#pragma once

#include "dialog/station_settings.h"

namespace vorlen {

class QtSettingsStore : public fleet::SettingsStore {
public:
    std::optional<std::string> Read(const std::string& key) const override;
    std::string Write(const std::string& key, const std::string& value) override;
};

}  // namespace vorlen
