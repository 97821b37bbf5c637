#include "fleet/local_zone.h"

#include <cstdio>

namespace vorlen::fleet {
namespace {

// Windows names its zones at length ("W. Europe Standard Time"); the
// offset is what a table has room for.
std::string Offset(std::time_t moment, const std::tm& local) {
    std::tm copy = local;
    const long long east = static_cast<long long>(_mkgmtime(&copy)) - moment;
    char text[16];
    std::snprintf(text, sizeof text, "%c%02lld:%02lld", east < 0 ? '-' : '+',
                  (east < 0 ? -east : east) / 3600, (east < 0 ? -east : east) / 60 % 60);
    return text;
}

class WindowsZone : public Zone {
public:
    WallTime Wall(std::time_t moment) const override {
        WallTime wall;
        localtime_s(&wall.calendar, &moment);
        wall.zone = Offset(moment, wall.calendar);
        return wall;
    }

    std::optional<std::time_t> Moment(const std::tm& calendar) const override {
        std::tm asked = calendar;
        asked.tm_isdst = -1;
        const std::time_t moment = std::mktime(&asked);
        const bool same = asked.tm_hour == calendar.tm_hour && asked.tm_min == calendar.tm_min &&
                          asked.tm_mday == calendar.tm_mday;
        return moment == -1 || !same ? std::nullopt : std::optional(moment);
    }
};

}  // namespace

const Zone& MachineZone() {
    static const WindowsZone zone;
    return zone;
}

}  // namespace vorlen::fleet
