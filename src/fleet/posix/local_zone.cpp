#include "fleet/local_zone.h"

#include "fleet/host.h"

namespace vorlen::fleet {
namespace {

class PosixZone : public Zone {
public:
    WallTime Wall(std::time_t moment) const override {
        WallTime wall;
        localtime_r(&moment, &wall.calendar);
        wall.zone = wall.calendar.tm_zone != nullptr ? wall.calendar.tm_zone : "";
        return wall;
    }

    std::optional<std::time_t> Moment(const std::tm& calendar) const override {
        std::tm asked = calendar;
        asked.tm_isdst = -1;
        const std::time_t moment = std::mktime(&asked);
        // mktime moves a skipped time on by the hour the clock jumped.
        const bool same = asked.tm_hour == calendar.tm_hour && asked.tm_min == calendar.tm_min &&
                          asked.tm_mday == calendar.tm_mday;
        return moment == -1 || !same ? std::nullopt : std::optional(moment);
    }
};

}  // namespace

const Zone& MachineZone() {
    static const PosixZone zone;
    return zone;
}

}  // namespace vorlen::fleet
