// What the operator can tell vorlen when starting it: which port to open and
// which language to speak. Both windows read their command line here, so
// `vorlen --port /dev/ttyUSB1` and `vorlen.exe --port COM3` behave alike.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/bilingual.h"

namespace vorlen {

struct StartOptions {
    // Opened at start instead of the first port found; added to the port
    // list when discovery does not list it (a pseudo-terminal, a link).
    std::optional<std::string> port;
    int language = kEnglish;
};

struct StartCommandLine {
    StartOptions options;
    // --help and --version: print `text` and end with this code.
    std::optional<int> exitCode;
    // The help or version text, or one line for each thing on the command
    // line that was not understood; the window opens anyway, as if that had
    // not been given.
    std::string text;
};

// `arguments` without the program's name. `portExists` tells whether a
// named port is there at all; one that is not is reported, and the window
// opens on it all the same (and says in red that it did not open), never on
// another port.
StartCommandLine ReadStartCommandLine(std::vector<std::string> arguments,
                                      const std::function<bool(const std::string&)>& portExists);

}  // namespace vorlen
