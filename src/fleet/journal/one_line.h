// A database's message on one line: libpq's messages run over several lines
// (a hint after a tab, a server's DETAIL and HINT lines, and on Windows the
// system's socket texts ending in CR LF), while the board, the history and
// the station's journal line show one line per message.
#pragma once

#include <string>

namespace vorlen::fleet {

// Every line break (LF, CR LF or CR) with the blanks around it becomes
// "; "; those at the end go. Other control characters are left for the
// terminal's escaping to show.
std::string OneLine(std::string text);

}  // namespace vorlen::fleet
