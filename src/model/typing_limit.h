// The typing rule of an edit bound to a record field: the field holds GBK
// bytes, so the limit counts bytes and a Chinese character takes two.
#pragma once

#include <cstddef>

namespace vorlen {

// Typing and pasting never make a field longer than its limit (0: none). A
// text that is already longer, as a read-back can leave one, may only get
// shorter, so the operator can cut it down to size.
constexpr bool KeepsTypingLimit(std::size_t bytesBefore, std::size_t bytesAfter, int maxBytes) {
    return maxBytes <= 0 || bytesAfter <= static_cast<std::size_t>(maxBytes) ||
           bytesAfter < bytesBefore;
}

}  // namespace vorlen
