// The journal's rows as the operator reads them (a table) or as a
// spreadsheet or a fleet system takes them (CSV).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "fleet/journal/journal.h"
#include "fleet/local_zone.h"

namespace vorlen::fleet {

// How many rows --history shows.
inline constexpr int kHistoryRows = 50;

// One line per row in the order given, in columns: started (on the zone's
// clock, with the zone), station, operator, lot, IMEI, mode, result, failed step,
// failure, each line cut to `width` characters (0: not cut). An unfinished
// row shows "unfinished" as its result.
void PrintHistoryTable(const std::vector<JournalEntry>& rows, const Zone& zone, std::size_t width,
                       std::ostream& out);

// CSV (RFC 4180): a header of the column names, then every column of each
// row, its times in UTC as the journal holds them.
void PrintCsvHeader(std::ostream& out);
void PrintCsvRow(const JournalEntry& row, std::ostream& out);

}  // namespace vorlen::fleet
