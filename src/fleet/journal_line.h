// The journal's state in one line, as the station's board and window show it.
#pragma once

#include <string>

#include "fleet/journal/journal.h"

namespace vorlen::fleet {

// "" while every row is kept; else how many rows wait for the server, or
// that the journal takes no rows and the station no new tracker, and why.
std::string JournalLine(const JournalHealth& health, int language);

}  // namespace vorlen::fleet
