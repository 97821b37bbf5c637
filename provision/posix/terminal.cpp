#include "provision/terminal.h"

#include <unistd.h>

namespace vorlen::provision {

bool PrepareTerminal() { return isatty(STDOUT_FILENO) != 0; }

}  // namespace vorlen::provision
