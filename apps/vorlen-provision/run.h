// The whole program behind main(), with its streams given, so tests run it
// in their own process.
#pragma once

#include <ostream>

namespace vorlen::fleet {

inline constexpr int kAllPassed = 0;
inline constexpr int kSomeFailed = 1;
inline constexpr int kBadInput = 2;

// `terminal`: standard output is a terminal, so progress is redrawn in place.
int Run(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
        bool terminal);

}  // namespace vorlen::fleet
