#include "serial/removed_device.h"

#include <algorithm>
#include <array>

namespace vorlen {
namespace {

// What USB serial drivers answer once their adapter is pulled out: usbser
// and FTDI "the device does not recognize the command", Prolific and CH340
// "a device attached to the system is not functioning", others "the device
// has been removed", "no such device" or "not connected"; and "access
// denied" on a handle that was opened fine, as the device's stack is torn
// down under it.
constexpr std::uint32_t kAccessDenied = 5;
constexpr std::uint32_t kBadCommand = 22;
constexpr std::uint32_t kGenFailure = 31;
constexpr std::uint32_t kDevNotExist = 55;
constexpr std::uint32_t kNoSuchDevice = 433;
constexpr std::uint32_t kOperationAborted = 995;
constexpr std::uint32_t kDeviceNotConnected = 1167;
constexpr std::uint32_t kDeviceRemoved = 1617;

constexpr std::array<std::uint32_t, 7> kRemovedErrors{
    kAccessDenied, kBadCommand,         kGenFailure,    kDevNotExist,
    kNoSuchDevice, kDeviceNotConnected, kDeviceRemoved,
};

}  // namespace

// A driver whose device goes ends the transfers under way as aborted; one
// the program cancelled itself ends the same way.
bool MeansDeviceRemoved(std::uint32_t windowsError, bool cancelledHere) {
    if (windowsError == kOperationAborted) {
        return !cancelledHere;
    }
    return std::ranges::find(kRemovedErrors, windowsError) != kRemovedErrors.end();
}

}  // namespace vorlen
