#include "serial/port_cleanup.h"

#include <utility>

namespace vorlen {

namespace {

// "Communications Port (COM1)" describes itself as "Communications Port";
// "Port (A) (COM2)" stays whole, since its first ")" is not its last character.
std::string DescriptionFromFriendlyName(const std::string& friendlyName) {
    const std::size_t open = friendlyName.find(" (");
    const std::size_t close = friendlyName.find(')');
    if (open != std::string::npos && open > 0 && close == friendlyName.size() - 1) {
        return friendlyName.substr(0, open);
    }
    return friendlyName;
}

}  // namespace

bool IsComPortName(std::string_view portName) {
    return portName.find("COM") != std::string_view::npos;
}

PortNameTest IsUnderDirectory(std::string directory) {
    if (!directory.ends_with('/')) {
        directory += '/';
    }
    return [prefix = std::move(directory)](std::string_view portName) {
        return portName.starts_with(prefix);
    };
}

void CleanUpPorts(PortList& ports, const PortNameTest& isPortName) {
    std::erase_if(ports, [&](const PortInfo& port) { return !isPortName(port.portName); });
    for (PortInfo& port : ports) {
        if (port.friendlyName.empty()) {
            port.friendlyName = port.portName;
        }
        if (port.description.empty()) {
            port.description = DescriptionFromFriendlyName(port.friendlyName);
        }
    }
}

}  // namespace vorlen
