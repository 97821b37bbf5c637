// What a save stores for the text a control shows. A window converts the
// record's GBK bytes for showing; converting back must not lose bytes the
// operator never touched.
#pragma once

#include <string>
#include <string_view>

namespace vorlen {

// `given` is what the control was last given (GBK bytes). While the control
// still shows exactly that, the result is `given` itself, even bytes that
// are not GBK and show as U+FFFD. Otherwise it is the GBK bytes of the shown
// UTF-8 text, with '?' for each character GBK has no code for.
std::string GbkOfShownText(std::string_view shownUtf8, const std::string& given);

}  // namespace vorlen
