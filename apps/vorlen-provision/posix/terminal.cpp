#include "provision/terminal.h"

#include <unistd.h>

namespace vorlen::fleet {

bool PrepareTerminal() { return isatty(STDOUT_FILENO) != 0; }

}  // namespace vorlen::fleet
