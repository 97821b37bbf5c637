// How Windows finds its serial ports, by system generation: the Plug and
// Play device interfaces from Windows 2000 on, a fixed list of sixteen names
// on NT 4, and the hardware tree of the Windows 9x registry before that.
// Each appends raw records; the clean-up pass and the sort come afterwards.
// A failure throws PortEnumerationError and leaves what was appended so far.
#pragma once

#include "serial/port_info.h"
#include "serial/windows_system.h"

namespace vorlen {

enum class PortStrategy { DeviceInterfaces, FixedList, Registry };

// The system version; throws "Could not get OS version. (err=...)" when the
// query fails.
OsVersion QueryVersion(WindowsSystem& system);

// Major version 5 or later: device interfaces, whatever the platform. Below
// that, the NT platform gets the fixed list and every other the registry.
PortStrategy ChooseStrategy(const OsVersion& version);

// One record per device of the serial port interface class that has a
// friendly name, a description and a service; the port name is taken from
// the friendly name, and the port is USB when its location begins with "USB".
void AddDeviceInterfacePorts(PortList& ports, WindowsSystem& system);

// After the device interfaces: every port in HKLM\HARDWARE\DEVICEMAP\SERIALCOMM
// that is not listed yet, named by itself. Some virtual COM port drivers, and
// Wine, register their ports only there. Ports already listed stay as they
// are; a missing key adds nothing.
void AddDeviceMapPorts(PortList& ports, WindowsSystem& system);

// COM1 to COM16, whether they exist or not.
void AddFixedListPorts(PortList& ports);

// HKLM\Enum\<enumerator>\<device ID>\<instance> for the standard serial
// controllers (*PNP0500, *PNP0501) and every device under USBPORTS. A port
// name seen twice keeps its first place and takes the later instance's data.
void AddRegistryPorts(PortList& ports, WindowsSystem& system);

}  // namespace vorlen
