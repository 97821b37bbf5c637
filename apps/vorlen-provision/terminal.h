// The one thing the program asks of the console.
#pragma once

#include <cstddef>

namespace vorlen::fleet {

// True when standard output is a terminal (progress redrawn in place); on
// Windows that console is then switched to UTF-8 output.
bool PrepareTerminal();

// Standard output's width in columns; 0 when it is no terminal.
std::size_t TerminalColumns();

}  // namespace vorlen::fleet
