// The machine's serial ports, as the port list shows them.
#pragma once

#include "serial/port_info.h"
#include "serial/windows_system.h"

namespace vorlen {

// Empties the list and fills it with this machine's ports. On failure throws
// PortEnumerationError; the list then holds what was found before the
// failure, neither cleaned up nor sorted.
void EnumeratePorts(PortList& ports);

// The same on Windows: the strategy chosen by the system version (a failed
// version query throws "Could not get OS version. (err=...)"; the device
// interfaces are followed by the device map's ports), then the clean-up pass
// keeping the COM names, then the sort.
void EnumeratePorts(PortList& ports, WindowsSystem& system);

}  // namespace vorlen
