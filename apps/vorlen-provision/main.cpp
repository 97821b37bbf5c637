// vorlen-provision: wakes, configures and verifies trackers from a profile.
// See --help.
#include <iostream>

#include "provision/run.h"
#include "provision/terminal.h"

int main(int argc, char** argv) {
    const bool terminal = vorlen::fleet::PrepareTerminal();
    return vorlen::fleet::Run(argc, argv, std::cout, std::cerr, terminal,
                              vorlen::fleet::TerminalColumns);
}
