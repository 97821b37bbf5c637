#include "fleet/slot_name.h"

#include <regex>

namespace vorlen::fleet {
namespace {

// udev's by-path name of a USB port: "usb-0:" (newer udev also links
// "usbv2-0:"), the socket's path from the root hub ("1.2": port 2 of the
// hub in port 1), the configuration and interface ("1.0"), and for an
// adapter with several ports on one interface "-port0", "-port1", ...
const std::regex& UsbSocket() {
    static const std::regex socket(R"(usb(v[0-9]+)?-[0-9]+:([0-9.]+):([0-9]+\.[0-9]+)(-port[0-9]+)?$)");
    return socket;
}

std::string_view LastPart(std::string_view port) {
    const std::size_t slash = port.find_last_of("/\\");
    return slash == std::string_view::npos ? port : port.substr(slash + 1);
}

}  // namespace

std::optional<std::vector<SlotName>> NamedSlots(const std::vector<std::string>& given,
                                                std::string& mistake) {
    std::vector<SlotName> slots;
    for (const std::string& slot : given) {
        const std::size_t equals = slot.find('=');
        const bool named = equals != std::string::npos &&
                           slot.find_first_of("/\\") > equals;
        if (!named) {
            slots.push_back({std::to_string(slots.size() + 1), slot});
        } else if (equals == 0 || equals + 1 == slot.size()) {
            mistake = slot;
            return std::nullopt;
        } else {
            slots.push_back({slot.substr(0, equals), slot.substr(equals + 1)});
        }
    }
    return slots;
}

std::string ShortPort(std::string_view port) {
    const std::string last(LastPart(port));
    std::smatch socket;
    if (!std::regex_search(last, socket, UsbSocket())) {
        return last.empty() ? std::string(port) : last;
    }
    const bool firstPort = socket[3] == "1.0" && (!socket[4].matched || socket[4] == "-port0");
    return "USB " + socket[2].str() +
           (firstPort ? "" : ":" + socket[3].str() + socket[4].str());
}

std::string SlotHeading(const SlotName& slot) { return slot.name + "  " + ShortPort(slot.port); }

std::vector<SlotName> NumberedSlots(const std::vector<std::string>& ports) {
    std::vector<SlotName> slots;
    for (const std::string& port : ports) {
        slots.push_back({std::to_string(slots.size() + 1), port});
    }
    return slots;
}

}  // namespace vorlen::fleet
