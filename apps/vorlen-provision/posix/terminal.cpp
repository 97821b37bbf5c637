#include "provision/terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace vorlen::fleet {

bool PrepareTerminal() { return isatty(STDOUT_FILENO) != 0; }

std::size_t TerminalColumns() {
    winsize size{};
    return ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
}

}  // namespace vorlen::fleet
