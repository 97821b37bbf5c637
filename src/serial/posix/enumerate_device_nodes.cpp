#include "serial/posix/enumerate_device_nodes.h"

#include "serial/enumerate_ports.h"
#include "serial/port_cleanup.h"
#include "serial/port_sort.h"
#include "serial/posix/device_nodes.h"

namespace vorlen {

void EnumeratePorts(PortList& ports) { EnumeratePorts(ports, DeviceRoots{}); }

void EnumeratePorts(PortList& ports, const DeviceRoots& roots) {
    ports.clear();
    AddDeviceNodePorts(ports, roots.sys, roots.dev);
    CleanUpPorts(ports, IsUnderDirectory(roots.dev.string()));
    SortPorts(ports);
}

}  // namespace vorlen
