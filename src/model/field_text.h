// How the tool reads form texts: trimming and the atoi reading of numbers.
#pragma once

#include <string>
#include <string_view>

namespace vorlen {

// Space, tab, carriage return, line feed, vertical tab and form feed.
bool IsBlank(char c);

// Removes leading and trailing blanks from the field itself, so the refreshed
// form shows the trimmed text too.
void Trim(std::string& text);
std::string_view Trimmed(std::string_view text);

// atoi's reading: leading blanks, an optional sign, the leading digits; 0 when
// there are none. Digit strings beyond the int range saturate to INT_MIN or
// INT_MAX instead of being undefined.
int IntegerValue(std::string_view text);

}  // namespace vorlen
