// The second status line after a failed open: why, and what to do.
#pragma once

#include <string>

#include "serial/open_failure.h"

namespace vorlen {

// The group a serial device belongs to on most Linux systems, named when the
// device's own group is unknown.
inline constexpr const char* kUsualSerialGroup = "dialout";

// Between the status box's lines: LF alone, as every text of the program
// breaks its lines; the Windows window puts in the CR its edit needs.
inline constexpr const char* kStatusLineBreak = "\n";

// Why the port did not open and what the operator can do, as GBK bytes;
// language 0 is Chinese, anything else English.
std::string OpenFailureHint(const OpenFailure& why, int language);

// The failure line ("Open %s Failed!" with the name, unchanged) followed by
// the hint on a line of its own.
std::string WithOpenFailureHint(const std::string& failureLine, const OpenFailure& why,
                                int language);

}  // namespace vorlen
