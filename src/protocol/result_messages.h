// The status line that tells the operator how a command ended.
#pragma once

#include <string>

#include "protocol/command_type.h"

namespace vorlen {

// The success or failure line of a command type, as GBK bytes in the chosen
// language (0 Chinese, anything else English). ReadConfig has no line of its
// own, and SetAll only a success line: a failing set-all reports the row of
// the step that failed. Asking for a line that does not exist throws
// std::invalid_argument.
std::string ResultText(CommandType type, bool succeeded, int language);

}  // namespace vorlen
