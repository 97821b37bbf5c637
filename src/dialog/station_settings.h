// Where the station window keeps what the operator typed for the next run:
// the platform's usual settings store (QSettings on Linux, the registry
// under HKCU\Software\Vorlen on Windows), a map in the tests.
#pragma once

#include <optional>
#include <string>

namespace vorlen::fleet {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The value kept under `key`, or nothing when none is.
    virtual std::optional<std::string> Read(const std::string& key) const = 0;
    // Keeps `value` (UTF-8) under `key`; the reason when it could not, else "".
    virtual std::string Write(const std::string& key, const std::string& value) = 0;
};

}  // namespace vorlen::fleet
