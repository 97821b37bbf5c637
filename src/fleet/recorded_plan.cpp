#include "fleet/recorded_plan.h"

namespace vorlen::fleet {

TrackerPlan RecordedPlan(const Profile& profile, const std::optional<DeviceList>& devices,
                         Mode mode, bool force, std::string& deviceValues,
                         TrackerRecord& record) {
    TrackerPlan plan;
    plan.mode = mode;
    plan.force = force;
    plan.target = [&profile, &devices,
                   &deviceValues](const std::string& imei) -> std::optional<Profile> {
        if (!devices) {
            return profile;
        }
        const auto row = devices->find(imei);
        if (row == devices->end()) {
            return std::nullopt;
        }
        deviceValues = ValuesJson(row->second);
        return row->second.profile;
    };
    plan.identified = [&record, &deviceValues](const Outcome& outcome) {
        record.Identified(outcome, deviceValues);
    };
    return plan;
}

}  // namespace vorlen::fleet
