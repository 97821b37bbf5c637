// Where each key of a profile stands, so that a fault found after reading
// (a check of the values together) can still name the line to correct.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace vorlen {

// The line (counted from 1) of every key of the profile text; empty when the
// text is not TOML.
std::map<std::string, int, std::less<>> KeyLines(std::string_view utf8Text);

}  // namespace vorlen
