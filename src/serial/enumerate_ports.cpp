#include "serial/enumerate_ports.h"

#include "serial/port_cleanup.h"
#include "serial/port_sort.h"
#include "serial/windows_strategies.h"

namespace vorlen {

void EnumeratePorts(PortList& ports, WindowsSystem& system) {
    ports.clear();
    switch (ChooseStrategy(QueryVersion(system))) {
        case PortStrategy::DeviceInterfaces:
            AddDeviceInterfacePorts(ports, system);
            AddDeviceMapPorts(ports, system);
            break;
        case PortStrategy::FixedList:
            AddFixedListPorts(ports);
            break;
        case PortStrategy::Registry:
            AddRegistryPorts(ports, system);
            break;
    }
    CleanUpPorts(ports, IsComPortName);
    SortPorts(ports);
}

}  // namespace vorlen
