// Opening the port that the port list names, on either platform:
//   std::shared_ptr<SerialPort> OpenPort(const std::string& portName, OpenFailure* why);
// null when the port cannot be opened, and then `why` says why. On Linux the name is the device path
// (/dev/ttyUSB0), on Windows the port name (COM3). Callers include this
// header and need not know which platform they are built for.
#pragma once

#if defined(_WIN32)
#include "serial/windows/serial_port.h"
#else
#include "serial/posix/serial_port.h"
#endif
