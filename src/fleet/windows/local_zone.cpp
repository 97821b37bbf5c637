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

}  // namespace

WallTime MachineWall(std::time_t moment) {
    WallTime wall;
    localtime_s(&wall.calendar, &moment);
    wall.zone = Offset(moment, wall.calendar);
    return wall;
}

}  // namespace vorlen::fleet
