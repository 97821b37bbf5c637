// How Linux finds its serial ports: the tty devices that have hardware
// behind them, from /sys/class/tty, and the virtual serial ports that socat
// or the simulated tracker publish as links in /dev.
#pragma once

#include <filesystem>

#include "serial/port_info.h"

namespace vorlen {

inline constexpr const char* kVirtualPortLabel = "Virtual serial port";

// Appends one record per port, named by its path under `devRoot`:
// - every entry of <sysRoot>/class/tty with a device behind it (USB adapters,
//   ttyAMA, on-board UARTs...) or a Bluetooth rfcomm port, whose node exists
//   in `devRoot`; an on-board ttyS entry whose `type` is 0 has no UART behind
//   it and is left out;
// - every link directly in `devRoot` whose name begins with "tty" and that
//   leads to a pseudo-terminal (a pts/<number> node).
// The friendly name is the product (USB), the driver, or "Virtual serial
// port", followed by the kernel name in parentheses; the description is the
// same without the parentheses.
// Order: USB adapters, then virtual ports, then every other UART; within
// each group by name, with numbers compared as numbers (ttyUSB2 before
// ttyUSB10). The tracker hangs on a USB adapter almost always, and start-up
// opens the first port. Throws PortEnumerationError when a directory cannot
// be read.
void AddDeviceNodePorts(PortList& ports, const std::filesystem::path& sysRoot,
                        const std::filesystem::path& devRoot);

}  // namespace vorlen
