// The operator's time zone, which --history shows times in and reads
// --since and --until in. Injected, so that a test runs in a zone of its
// own choosing, with or without summer time, whatever the machine's is.
#pragma once

#include <ctime>
#include <optional>
#include <string>

namespace vorlen::fleet {

// A moment as a clock on the wall shows it.
struct WallTime {
    std::tm calendar{};
    std::string zone;  // as the operator knows it: "CET", "CST", "+08"
};

class Zone {
public:
    virtual ~Zone() = default;
    virtual WallTime Wall(std::time_t moment) const = 0;
    // The moment a wall clock showed `calendar` (its tm_isdst ignored);
    // nothing for a time the clock skipped or one out of range.
    virtual std::optional<std::time_t> Moment(const std::tm& calendar) const = 0;
};

// The machine's zone (TZ, /etc/localtime; Windows' own setting).
const Zone& MachineZone();

// The machine's wall clock at `moment`, as the platform tells it
// (posix/, windows/local_zone.cpp): MachineZone's one platform part.
WallTime MachineWall(std::time_t moment);

// UTC, for --utc.
const Zone& UtcZone();

}  // namespace vorlen::fleet
