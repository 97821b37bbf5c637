// The platform's serial port, opened by the name the port list shows.
#pragma once

#ifdef _WIN32
#include "serial/windows/serial_port.h"
#else
#include "serial/posix/serial_port.h"
#endif
