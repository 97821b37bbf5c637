// The one thing the program asks of the console.
#pragma once

namespace vorlen::fleet {

// True when standard output is a terminal (progress redrawn in place); on
// Windows that console is then switched to UTF-8 output.
bool PrepareTerminal();

}  // namespace vorlen::fleet
