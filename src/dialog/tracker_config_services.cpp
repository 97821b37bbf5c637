#include "dialog/tracker_config_services.h"

#include <utility>

#include "dialog/station_controller.h"
#include "serial/enumerate_ports.h"
#include "serial/open_port.h"

namespace vorlen {

TrackerConfigServices RealTrackerConfigServices(StartOptions start) {
    TrackerConfigServices services;
    services.enumeratePorts = [](PortList& ports) { EnumeratePorts(ports); };
    services.openPort = [](const std::string& portName, OpenFailure* why) {
        return OpenPort(portName, why);
    };
    services.station = fleet::RealStationServices();
    services.start = std::move(start);
    return services;
}

}  // namespace vorlen
