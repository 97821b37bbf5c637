// The platform's converter for code page 936: iconv on Linux, the system's
// code page tables on Windows. gbk.h adds the rules both platforms share.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorlen {

// The code page 936 bytes of valid UTF-8, or nothing when a character has no
// code in it.
std::optional<std::string> EncodeCodePage936(std::string_view utf8);

// The UTF-8 text of code page 936 bytes, each byte that starts no character
// (or a lead byte whose trail byte does not complete one) as U+FFFD.
std::string DecodeCodePage936(std::string_view gbk);

}  // namespace vorlen
