// The errno of a failed open, told as an OpenFailure.
#pragma once

#include <string>

#include "serial/open_failure.h"

namespace vorlen {

// EACCES and EPERM: no permission; EBUSY (another open holds the terminal
// exclusively) and EWOULDBLOCK (another program holds its lock): in use;
// ENOENT, ENODEV and ENXIO: no such device; anything else: other. The
// system's text is strerror's; for no permission the group is that of
// `devicePath`, empty when it cannot be found or its members may not both
// read and write the device.
OpenFailure DescribeOpenError(int error, const std::string& devicePath);

}  // namespace vorlen
