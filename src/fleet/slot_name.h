// What the operator calls a slot of the station: a short name of its own and
// its port shown short. A bench's USB adapters sit behind
// /dev/serial/by-path links some sixty characters long that differ in one
// digit in the middle; the board and the window lead with the slot's name
// and show the socket ("USB 1.2"), and the whole path stays in the journal
// and in the window's tip.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlen::fleet {

struct SlotName {
    std::string name;  // "A", or the slot's place "1", "2", ...
    std::string port;  // the port as given, the whole path
};

// The slots as the operator gave them: "NAME=PORT" names a slot, a bare
// PORT is numbered by its place (from 1). Text before the first "=" is a
// name only when it holds no "/" or "\", so a path with "=" in it stays a
// port. Nothing when a slot is "=PORT" or "NAME=" (`mistake` says which).
std::optional<std::vector<SlotName>> NamedSlots(const std::vector<std::string>& given,
                                                std::string& mistake);

// The port shown short: a name whose last part holds a USB socket's path
// ("...-usb-0:1.2:1.0-port0", as udev's by-path links are named) as "USB
// 1.2", with ":1.1-port0" kept after it for the second interface of a
// multi-port adapter; any other path by its last part ("/dev/ttyUSB0" as
// "ttyUSB0", "\\.\COM12" as "COM12"); a bare name ("COM3") as given.
std::string ShortPort(std::string_view port);

// A slot's heading on the board and on its tile: "A  USB 1.2".
std::string SlotHeading(const SlotName& slot);

// The slots the window's operator ticked, numbered by their place.
std::vector<SlotName> NumberedSlots(const std::vector<std::string>& ports);

}  // namespace vorlen::fleet
