#include "serial/friendly_name.h"

namespace vorlen {

std::string PortNameFromFriendlyName(std::string_view friendlyName) {
    const std::size_t open = friendlyName.find('(');
    const std::size_t start = open == std::string_view::npos ? 0 : open + 1;
    const std::size_t close = friendlyName.find(')');
    if (close == std::string_view::npos || close < start) {
        return {};
    }
    return std::string(friendlyName.substr(start, close - start));
}

}  // namespace vorlen
