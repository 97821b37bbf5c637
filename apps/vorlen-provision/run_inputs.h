// What every tracker of a run shares, checked before any port is touched:
// the profile, the device list and the journal. A fleet run and a station
// take them alike.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "profile/profile.h"
#include "provision/actions.h"
#include "fleet/device_list.h"
#include "fleet/journal/journal.h"
#include "fleet/journal_record.h"
#include "fleet/outcome.h"

namespace vorlen::fleet {

struct RunInputs {
    Profile profile;
    std::optional<DeviceList> devices;
    std::unique_ptr<Journal> journal;  // null: nothing is recorded
};

// The profile, the device list and the journal the options name, or nothing
// (every reason printed) when any of them is refused.
std::optional<RunInputs> CheckedInputs(const Options& options, const Streams& streams);

// --check only compares; anything else provisions.
inline Mode ModeOf(const Options& options) {
    return options.check ? Mode::Check : Mode::Provision;
}

// The journal's columns every row of the run shares.
RunRecord RecordOf(const Options& options);

// A port the list names twice, if any.
std::optional<std::string> RepeatedPort(const std::vector<std::string>& ports);

}  // namespace vorlen::fleet
