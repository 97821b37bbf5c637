// vorlen-provision: wakes, configures and verifies trackers from a profile.
// See --help.
#include <iostream>

#include "provision/run.h"
#include "provision/terminal.h"

int main(int argc, char** argv) {
    const bool terminal = vorlen::provision::PrepareTerminal();
    return vorlen::provision::Run(argc, argv, std::cout, std::cerr, terminal);
}
