// The command line as the operator typed it, in UTF-8: on Windows the
// narrow argv holds it in the ANSI code page, where a Chinese operator or
// file name the code page cannot hold arrives as "??".
#pragma once

#include <string>
#include <vector>

namespace vorlen::fleet {

// The program's arguments, its own name first; argc and argv are main's, and
// what the system gives when it has the command line of its own.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

}  // namespace vorlen::fleet
