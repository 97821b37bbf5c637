// Port discovery on Linux with roots other than /sys and /dev, so tests can
// hand it a fake device tree.
#pragma once

#include <filesystem>

#include "serial/port_info.h"

namespace vorlen {

struct DeviceRoots {
    std::filesystem::path sys = "/sys";
    std::filesystem::path dev = "/dev";
};

// The device-node strategy, the clean-up pass keeping the paths under
// `roots.dev`, the sort.
void EnumeratePorts(PortList& ports, const DeviceRoots& roots);

}  // namespace vorlen
