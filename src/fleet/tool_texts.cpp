#include "fleet/tool_texts.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vorlen::fleet {

// One pass over the pattern, so a value that holds a placeholder (a port
// named "{key}") stays as it is.
std::string Say(const Bilingual& text, int language, const Fill& fill) {
    const std::string count = std::to_string(fill.count);
    const std::string total = std::to_string(fill.total);
    const std::array<std::pair<std::string_view, std::string_view>, 8> values{{
        {"{port}", fill.port},
        {"{detail}", fill.detail},
        {"{count}", count},
        {"{total}", total},
        {"{key}", fill.key},
        {"{expected}", fill.expected},
        {"{actual}", fill.actual},
        {"{imei}", fill.imei},
    }};
    const std::string_view pattern = Utf8In(text, language);
    std::string said;
    for (std::size_t i = 0; i < pattern.size();) {
        const auto found = std::find_if(values.begin(), values.end(), [&](const auto& value) {
            return pattern.substr(i).starts_with(value.first);
        });
        if (found == values.end()) {
            said += pattern[i++];
        } else {
            said += found->second;
            i += found->first.size();
        }
    }
    return said;
}

}  // namespace vorlen::fleet
