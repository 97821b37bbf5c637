// The window shows UTF-16; the form hands over GBK bytes. These convert at
// the window's edge with the same rules as the Linux window: bytes that are
// not GBK show as U+FFFD, and an untouched text gives back its exact bytes.
#pragma once

#include <string>
#include <string_view>

namespace vorlen {

std::wstring WideOfUtf8(std::string_view utf8);
std::string Utf8OfWide(std::wstring_view wide);

// What a control shows for GBK bytes.
std::wstring WideOfGbk(std::string_view gbk);

}  // namespace vorlen
