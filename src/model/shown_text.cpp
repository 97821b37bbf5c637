#include "model/shown_text.h"

#include <algorithm>
#include <optional>

#include "model/gbk.h"

namespace vorlen {
namespace {

// The length of the UTF-8 sequence that starts with `lead`; a stray byte
// counts as one.
std::size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF0) {
        return 4;
    }
    if (lead >= 0xE0) {
        return 3;
    }
    return lead >= 0xC0 ? 2 : 1;
}

}  // namespace

std::string GbkOfShownText(std::string_view shownUtf8, const std::string& given) {
    if (shownUtf8 == GbkToUtf8(given)) {
        return given;
    }
    if (std::optional<std::string> gbk = Utf8ToGbk(shownUtf8)) {
        return *gbk;
    }
    std::string bytes;
    while (!shownUtf8.empty()) {
        const std::size_t length =
            std::min(SequenceLength(static_cast<unsigned char>(shownUtf8.front())), shownUtf8.size());
        const std::optional<std::string> gbk = Utf8ToGbk(shownUtf8.substr(0, length));
        bytes += gbk ? *gbk : "?";
        shownUtf8.remove_prefix(length);
    }
    return bytes;
}

}  // namespace vorlen
