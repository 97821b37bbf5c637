// The machine's serial ports as the port list shows them.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace vorlen {

struct PortInfo {
    std::string devicePath;    // what opens the port
    std::string portName;      // what the port list shows and the window opens
    std::string friendlyName;  // never empty after the clean-up pass
    int isUsb = 0;             // 1 when the port belongs to a USB device
    std::string description;   // never empty after the clean-up pass
};

using PortList = std::vector<PortInfo>;

// A failed enumeration; what() is the message text. The window's start-up
// discards it and shows an empty port list.
class PortEnumerationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace vorlen
