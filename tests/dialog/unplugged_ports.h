// Station services on ports that are listed but never plugged in: each slot
// waits for its port and its tile stands there, with no journal behind it.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dialog/station_controller.h"

namespace vorlen::test {

// `listed` gives the ports of the moment. A COM port is described by its
// own name, as Wine lists it; any other by its adapter's model.
inline fleet::StationServices UnpluggedPorts(std::function<std::vector<std::string>()> listed) {
    fleet::StationServices services;
    services.enumeratePorts = [listed = std::move(listed)](PortList& list) {
        list.clear();
        for (const std::string& port : listed()) {
            const std::string model = port.starts_with("COM") ? port : "USB Serial";
            list.push_back({port, port, model + " (" + port + ")", 1, model});
        }
    };
    services.formPort = [] { return std::string(); };
    services.openJournal = [](const std::string&, std::string& failure) {
        failure.clear();
        return std::unique_ptr<fleet::Journal>();
    };
    services.system.openPort = [](const std::string&, OpenFailure*) {
        return std::shared_ptr<Port>();
    };
    services.system.portExists = [](const std::string&) { return false; };
    services.system.portLook = std::chrono::milliseconds(5);
    return services;
}

}  // namespace vorlen::test
