// A tracker's plan with its journal row: the profile it is to hold, by its
// IMEI through the device list, and the row written once it is identified.
#pragma once

#include <optional>
#include <string>

#include "profile/profile.h"
#include "provision/device_list.h"
#include "provision/journal_record.h"
#include "provision/provision_tracker.h"

namespace vorlen::provision {

// With a device list, the target is nothing for a tracker it does not name,
// and `deviceValues` receives the row's values for the journal. `profile`,
// `devices`, `deviceValues` and `record` must outlive the plan.
TrackerPlan RecordedPlan(const Profile& profile, const std::optional<DeviceList>& devices,
                         Mode mode, bool force, std::string& deviceValues,
                         TrackerRecord& record);

}  // namespace vorlen::provision
