#include "serial/socket_name.h"

#include <algorithm>
#include <cctype>

namespace vorlen {

std::string SocketPortName(const std::string& devicePath) { return devicePath; }

// Windows names ports without regard to case: com3 opens COM3.
bool SamePort(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) ==
               std::toupper(static_cast<unsigned char>(y));
    });
}

}  // namespace vorlen
