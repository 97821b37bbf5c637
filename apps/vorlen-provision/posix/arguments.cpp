#include "provision/arguments.h"

namespace vorlen::fleet {

// A Linux terminal hands UTF-8 bytes through as typed.
std::vector<std::string> Utf8Arguments(int argc, char** argv) { return {argv, argv + argc}; }

}  // namespace vorlen::fleet
