// The whole program behind main(), with its streams given, so tests run it
// in their own process.
#pragma once

#include <cstddef>
#include <functional>
#include <ostream>

namespace vorlen::fleet {

inline constexpr int kAllPassed = 0;
inline constexpr int kSomeFailed = 1;
inline constexpr int kBadInput = 2;

// The terminal's width in columns as it is now (it may be resized while a
// station runs); 0 when it cannot be told.
using TerminalWidth = std::function<std::size_t()>;

// What the lines redrawn in place are cut to when the width cannot be told.
inline constexpr std::size_t kUsualColumns = 80;

// `terminal`: standard output is a terminal, so progress is redrawn in place,
// each line cut to `columns` (80 when not given).
int Run(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
        bool terminal, TerminalWidth columns = {});

}  // namespace vorlen::fleet
