// The window shows UTF-16; the form hands over UTF-8. These convert at the
// window's edge.
#pragma once

#include <string>
#include <string_view>

namespace vorlen {

std::wstring WideOfUtf8(std::string_view utf8);
std::string Utf8OfWide(std::wstring_view wide);

// The program breaks lines with LF alone; a multi-line control (an edit,
// a tile, a wrapping caption) and the clipboard want CR LF. The CR is put in
// here and taken out here, nowhere else: what went in comes back exactly,
// a CR of its own included.
std::wstring ShownInControl(std::string_view utf8, bool multiLine);
std::string TextOfControl(std::wstring_view shown, bool multiLine);

}  // namespace vorlen
