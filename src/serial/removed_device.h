// The errors by which Windows says that a serial device has gone while its
// port was open, as the error numbers of GetLastError(). Kept apart from
// the Win32 port so the list can be checked on any system.
#pragma once

#include <cstdint>

namespace vorlen {

// Whether a failed read or write on an open port means that the device is
// gone. `cancelledHere` tells that the program cancelled the transfer itself
// (a time-out, a stop or a close), whose "operation aborted" says nothing
// about the device.
bool MeansDeviceRemoved(std::uint32_t windowsError, bool cancelledHere);

}  // namespace vorlen
