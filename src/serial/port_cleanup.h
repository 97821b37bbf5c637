// The pass that every discovery strategy's list goes through before the
// operator sees it: ports without a usable name go, and every port gets a
// friendly name and a description.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "serial/port_info.h"

namespace vorlen {

// Whether a port name is one the tool can open.
using PortNameTest = std::function<bool(std::string_view portName)>;

// Windows names: "COM" anywhere in the name, upper case only.
bool IsComPortName(std::string_view portName);

// Linux names: device paths directly or deeper under `directory` ("/dev").
PortNameTest IsUnderDirectory(std::string directory);

// Removes the ports whose name fails the test, keeping the order of the rest.
// An empty friendly name becomes the port name. An empty description becomes
// the friendly name, without a trailing " (...)" such as " (COM1)".
void CleanUpPorts(PortList& ports, const PortNameTest& isPortName);

}  // namespace vorlen
