// What the operator may do to an edit bound to a record field, the rule the
// Linux window applies too: the field holds GBK bytes, so the limit counts
// bytes; characters GBK lacks and control characters (a pasted line break
// would split a command in two on the line) are refused.
#pragma once

#include <string_view>

namespace vorlen::win32 {

// Whether typing or pasting may turn `before` into `after` in an edit whose
// field holds at most `maxBytes` bytes (0: no limit).
bool AcceptsTyping(std::wstring_view before, std::wstring_view after, int maxBytes);

}  // namespace vorlen::win32
