// What the window needs from outside: the machine's serial ports, a way
// to tell the operator something, and what its fleet station works with. main() passes the real ones; tests pass
// fakes, so no test touches the machine's ports.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "dialog/dialog_window.h"
#include "dialog/station_controller.h"
#include "dialog/start_options.h"
#include "protocol/pause.h"
#include "protocol/port.h"
#include "serial/open_failure.h"
#include "serial/port_info.h"

namespace vorlen {

struct TrackerConfigServices {
    // Fills the list with the machine's serial ports; throws
    // PortEnumerationError when they cannot be listed.
    std::function<void(PortList&)> enumeratePorts;

    // The port opened with the tracker's line settings, or null; then `why`
    // tells the reason.
    std::function<std::shared_ptr<Port>(const std::string& portName, OpenFailure* why)> openPort;

    // Shows a modal message (text and caption as GBK bytes) and returns the
    // operator's answer. Every message box of the form goes through here;
    // when empty, the window shows its own modal box.
    std::function<MessageAnswer(const std::string& text, const std::string& caption,
                                MessageButtons buttons)>
        showMessage;

    // Asks for a profile file instead of the window's file dialog, when set.
    std::function<std::optional<std::filesystem::path>(bool forSaving)> askProfilePath;

    // What the fleet station opened from the form works with; the form adds
    // its own port, which the station never takes.
    fleet::StationServices station;

    // The port and the language the operator asked for on the command line.
    StartOptions start;

    // The pause between a command's polls; a long test run may shorten it.
    Pause transactionPause = RealPause();
};

// The machine's own ports, real message boxes and file dialogs, and the
// fleet station's real services: what vorlen runs with on either system.
TrackerConfigServices RealTrackerConfigServices(StartOptions start);

}  // namespace vorlen
