// The journal's rows as the operator reads them (a table) or as a
// spreadsheet or a fleet system takes them (CSV).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "fleet/journal/journal.h"

namespace vorlen::fleet {

// How many rows --history shows.
inline constexpr int kHistoryRows = 50;

// One line per row, newest first, in columns: when, station, operator, port,
// IMEI, software version, mode, result, profile. An unfinished row shows
// "unfinished" as its result.
void PrintHistoryTable(const std::vector<JournalEntry>& rows, std::ostream& out);

// A header of the column names, then every column of every row (RFC 4180).
void PrintHistoryCsv(const std::vector<JournalEntry>& rows, std::ostream& out);

}  // namespace vorlen::fleet
