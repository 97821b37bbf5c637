#include "fleet/journal/one_line.h"

namespace vorlen::fleet {

std::string OneLine(std::string text) {
    constexpr const char* kBlanks = "\t\r\n ";
    const std::size_t end = text.find_last_not_of(kBlanks);
    text.erase(end == std::string::npos ? 0 : end + 1);
    for (std::size_t at = text.find_first_of("\r\n"); at != std::string::npos;
         at = text.find_first_of("\r\n", at)) {
        std::size_t from = at;
        while (from > 0 && (text[from - 1] == ' ' || text[from - 1] == '\t')) {
            --from;
        }
        text.replace(from, text.find_first_not_of(kBlanks, at) - from, "; ");
        at = from + 2;
    }
    return text;
}

}  // namespace vorlen::fleet
