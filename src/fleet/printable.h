// Texts that come from outside (a tracker, a profile, a device list, a
// journal) on their way to the terminal, and lines cut to the terminal's
// width.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vorlen::fleet {

// `text` (UTF-8) escaped as the line monitor's rows are: "\r", "\n", "\t",
// "\\", "\x1b" and "\xHH" for every other control character (C1 ones too,
// which some terminals take as the start of a command) and for every byte
// that is not part of a well-formed UTF-8 character. Nothing of it can move
// the terminal's cursor.
std::string Printable(std::string_view text);

// How many columns a terminal gives `text` (UTF-8 without control
// characters): two for the wide characters of East Asian scripts, none for
// combining marks, one for the rest.
std::size_t DisplayColumns(std::string_view text);

// The longest start of `text` that fits in `columns`, cut between whole
// characters; `text` itself when it fits.
std::string CutToColumns(std::string_view text, std::size_t columns);

}  // namespace vorlen::fleet
