// A slot of the fleet station is a socket on the operator's bench, not
// whatever number the system gave the adapter last: on Linux a USB adapter's
// port is named by its /dev/serial/by-path link, which stays with the socket
// when adapters are unplugged and plugged back in another order. Windows
// keeps an adapter's COM name per adapter already.
#pragma once

#include <string>

namespace vorlen {

// The name that stays with the port's socket: on Linux the link in
// /dev/serial/by-path that leads to `devicePath`, or `devicePath` itself when
// none does; on Windows the name unchanged.
std::string SocketPortName(const std::string& devicePath);

// Whether two names open the same port: the same name, or (on Linux) two
// paths that lead to one device node.
bool SamePort(const std::string& a, const std::string& b);

}  // namespace vorlen
