// The line record as text rows, the same in every window and in the
// provisioning trace: one row per entry, UTF-8.
//
//   12.345 -> AT+OPENAT=710,123;\r\n
//   12.397 <- \r\nOK\r\n
//
// Seconds since the record started, with milliseconds; "->" for bytes
// written to the tracker, "<-" for bytes received from it; then the bytes
// decoded from GBK. Carriage return, line feed, tab and the backslash are
// written as C escapes (\r \n \t \\), every other control byte and every byte
// that is not GBK text as \xHH, so a row is plain ASCII apart from the
// tracker's own characters and survives any font, terminal or clipboard.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/line_record.h"

namespace vorlen {

// Bytes from the tracker or from a file (GBK) as a row shows them: UTF-8
// with every control byte and every byte that is not GBK text escaped, so
// they are safe to print on a terminal.
std::string EscapedText(std::string_view bytes);

// One entry's row, without a line end.
std::string LineRow(const LineEntry& entry);

// The rows of the entries, each ended by a line feed.
std::string LineRows(std::span<const LineEntry> entries);

// What a monitor adds at a poll: the entries that came after `shownUpTo`,
// the newest `most` of them, so a flood costs one bounded update. Moves
// `shownUpTo` to the newest entry.
std::vector<LineEntry> NewEntriesToShow(const LineRecord& record, std::uint64_t& shownUpTo,
                                        std::size_t most);

// Everything the record holds, as the contents of a text file. When older
// entries were dropped to make room, a first line says how many, in the
// language (0 Chinese, anything else English), so a saved log never passes
// for the whole session.
std::string LineRecordText(const LineRecord& record, int language);

}  // namespace vorlen
