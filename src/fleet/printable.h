// Texts that come from outside (a tracker, a journal) on their way to the
// terminal.
#pragma once

#include <string>

namespace vorlen::fleet {

// `text` with every control character shown as "?": what a tracker or a
// journal hands over must not move the terminal's cursor.
std::string Printable(std::string text);

}  // namespace vorlen::fleet
