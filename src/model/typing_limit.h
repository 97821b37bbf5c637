// The typing rule of an edit bound to a record field, the same in both
// windows: the field holds GBK bytes, so the limit counts bytes and a Chinese
// character takes two.
#pragma once

#include <cstddef>
#include <string_view>

#include "model/tracker_form.h"

namespace vorlen {

// Typing and pasting never make a field longer than its limit (0: none). A
// text that is already longer, as a read-back can leave one, may only get
// shorter, so the operator can cut it down to size.
constexpr bool KeepsTypingLimit(std::size_t bytesBefore, std::size_t bytesAfter, int maxBytes) {
    return maxBytes <= 0 || bytesAfter <= static_cast<std::size_t>(maxBytes) ||
           bytesAfter < bytesBefore;
}

// Whether a change may turn the edit's text `beforeGbk` into `afterGbk` (both
// GBK bytes) in the edit of `field` (null: an edit bound to no field). Never
// a control byte: a pasted line break would end the command there and start
// one the operator never chose. Never a separator in a free text; one a
// read-back put there may only be taken out. And the field's limit.
bool AcceptsTyping(const FieldSpec* field, std::string_view beforeGbk, std::string_view afterGbk);

// What the rule makes of a change the operator made to an edit.
enum class Typing {
    Refused,
    Accepted,
    AcceptedOverLimit,  // still longer than the limit, but shorter than before
};

// The rule on the texts an edit shows (UTF-8), as both windows take them:
// a change to `shownAfter` is refused when it breaks AcceptsTyping or puts
// in a character GBK cannot encode. U+FFFD, what a byte the tracker sent
// that is not GBK shows as, counts as the '?' a save stores for it.
Typing JudgeTyping(const FieldSpec* field, std::string_view shownBefore,
                   std::string_view shownAfter);

}  // namespace vorlen
