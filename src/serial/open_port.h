// Opening the port that the port list names, whichever platform the build is
// for: the build links the platform's port from serial/posix or
// serial/windows, so callers need not know which.
#pragma once

#include <memory>
#include <string>

#include "protocol/port.h"
#include "serial/open_failure.h"

namespace vorlen {

// On Linux the name is the device path (/dev/ttyUSB0), on Windows the port
// name (COM3). Null when the port cannot be opened; `why` (when given) then
// tells the reason.
std::shared_ptr<Port> OpenPort(const std::string& portName, OpenFailure* why = nullptr);

// Whether a port of that name is there: on Linux its device node or a link
// that leads to one, on Windows a device the system knows (COM3), present or
// not yet opened. Names the command line gives are checked with it.
bool PortExists(const std::string& portName);

}  // namespace vorlen
