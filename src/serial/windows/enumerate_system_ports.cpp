#include "serial/enumerate_ports.h"
#include "serial/windows/win32_system.h"

namespace vorlen {

void EnumeratePorts(PortList& ports) {
    Win32System system;
    EnumeratePorts(ports, system);
}

}  // namespace vorlen
