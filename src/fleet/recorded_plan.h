// A tracker's plan with its journal row: the profile it is to hold, by its
// IMEI through the device list, and the row written once it is identified.
#pragma once

#include <optional>
#include <string>

#include "profile/profile.h"
#include "fleet/device_list.h"
#include "fleet/journal_record.h"
#include "fleet/provision_tracker.h"

namespace vorlen::fleet {

// With a device list, the target is nothing for a tracker it does not name,
// and `deviceValues` receives the row's values for the journal. `profile`,
// `devices`, `deviceValues` and `record` must outlive the plan.
TrackerPlan RecordedPlan(const Profile& profile, const std::optional<DeviceList>& devices,
                         Mode mode, bool force, std::string& deviceValues,
                         TrackerRecord& record);

}  // namespace vorlen::fleet
