// The port name inside a device's friendly name, "USB Serial Port (COM12)".
#pragma once

#include <string>
#include <string_view>

namespace vorlen {

// The text between the first "(" and the first ")". Without a "(" it is
// everything before the first ")"; without a ")", or with the ")" before the
// "(", it is empty (and the clean-up pass then drops the port).
std::string PortNameFromFriendlyName(std::string_view friendlyName);

}  // namespace vorlen
