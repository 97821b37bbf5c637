// Conversion between the window's UTF-8 and the record's GBK bytes
// (code page 936, the Chinese Windows code page the tracker tool speaks).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorlen {

// The GBK bytes of a UTF-8 text, or nothing when the text holds a character
// GBK cannot encode (or is not valid UTF-8). Never drops or replaces.
std::optional<std::string> Utf8ToGbk(std::string_view utf8);

// The UTF-8 text of GBK bytes. Bytes that are not valid GBK (a tracker reply
// may hold anything) become U+FFFD each, so every input can be shown.
std::string GbkToUtf8(std::string_view gbk);

// GBK bytes of a text written in this program's own sources; such texts are
// always encodable.
std::string GbkOf(std::string_view utf8);

}  // namespace vorlen
