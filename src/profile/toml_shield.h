// toml++ 3.3.0, the version Debian 12 ships, has a fault in its test for
// whitespace beyond ASCII: a character from U+00A1 to U+0499, from U+2C5E to
// U+3057 (U+3000 excepted) or from U+FB26 to U+FEFE met where whitespace may
// stand, outside strings and comments, reaches __builtin_unreachable. That is
// undefined behaviour on a typing slip as plain as a "、" after a value.
// Before parsing, such characters are moved to plane 15 (U+F0000 plus the
// code point), where the test answers correctly and a misplaced one is an
// ordinary syntax error; the values read are moved back.
#pragma once

#include <string>
#include <string_view>

namespace vorlen {

// Moves the characters the parser cannot test into plane 15. Plane-15
// characters already in the text become U+F0000, so nothing moves back
// that was not moved: GBK has no plane-15 character, so such a value is
// refused either way.
std::string ShieldFromParser(std::string_view utf8);

// Moves them back.
std::string Unshielded(std::string_view utf8);

}  // namespace vorlen
