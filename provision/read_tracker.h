// What vorlen-provision reads from a tracker: its IMEI and its whole
// configuration. Every read of the configuration goes through here, so the
// read-back behind it can change without touching the runs.
#pragma once

#include <optional>
#include <string>

#include "profile/profile.h"
#include "protocol/port.h"

namespace vorlen::provision {

// The IMEI as the tracker's reply quotes it, or nothing with the failure line
// (UTF-8) in `failure`.
std::optional<std::string> ReadImei(Port& port, int language, std::string& failure);

// The tracker's configuration (the software version in the record's
// `softwareVersion`), or nothing with the failure line (UTF-8) in `failure`.
std::optional<Profile> ReadConfiguration(Port& port, int language, std::string& failure);

}  // namespace vorlen::provision
