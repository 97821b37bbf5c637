#include "fleet/local_zone.h"

namespace vorlen::fleet {

WallTime MachineWall(std::time_t moment) {
    WallTime wall;
    localtime_r(&moment, &wall.calendar);
    wall.zone = wall.calendar.tm_zone != nullptr ? wall.calendar.tm_zone : "";
    return wall;
}

}  // namespace vorlen::fleet
