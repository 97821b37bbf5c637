// vorlen-provision: wakes, configures and verifies trackers from a profile.
// See --help.
#include <iostream>
#include <string>
#include <vector>

#include "provision/arguments.h"
#include "provision/run.h"
#include "provision/terminal.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = vorlen::fleet::Utf8Arguments(argc, argv);
    std::vector<const char*> words;
    for (const std::string& argument : arguments) {
        words.push_back(argument.c_str());
    }
    const bool terminal = vorlen::fleet::PrepareTerminal();
    return vorlen::fleet::Run(static_cast<int>(words.size()), words.data(), std::cout, std::cerr,
                              terminal, vorlen::fleet::TerminalColumns);
}
