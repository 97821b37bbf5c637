// What the operator may do to an edit bound to a record field: the rule the
// Linux window applies too (model/typing_limit.h), on the edit's UTF-16 text.
#pragma once

#include <string_view>

#include "model/tracker_form.h"

namespace vorlen::win32 {

// Whether typing or pasting may turn `before` into `after` in the edit of
// `field` (null: an edit bound to no field). Characters GBK lacks are
// refused too.
bool AcceptsTyping(std::wstring_view before, std::wstring_view after, const FieldSpec* field);

}  // namespace vorlen::win32
