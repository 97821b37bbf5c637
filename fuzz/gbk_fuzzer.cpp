// GBK conversion both ways on any bytes. Tracker replies are decoded for
// display: the result must be valid UTF-8 whatever arrived, and a text that
// decoded cleanly must encode again to the same characters. Operator text is
// encoded for the line: it must either go through unchanged or be refused.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/gbk.h"
#include "fuzz_check.h"

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The bytes of the sequence a lead byte starts; 0 for a byte that starts none.
int SequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead < 0xC2) {
        return 0;
    }
    if (lead < 0xE0) {
        return 2;
    }
    if (lead < 0xF0) {
        return 3;
    }
    return lead < 0xF5 ? 4 : 0;
}

// Strict UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = SequenceLength(lead);
        if (length == 0 || text.size() - i < static_cast<std::size_t>(length)) {
            return false;
        }
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (next & 0x3F);
        }
        constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kShortest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        i += static_cast<std::size_t>(length);
    }
    return true;
}

void CheckDecoding(std::string_view gbk) {
    const std::string text = vorlen::GbkToUtf8(gbk);
    FUZZ_CHECK(IsValidUtf8(text));
    // A byte becomes at most one character of at most three bytes.
    FUZZ_CHECK(text.size() <= 3 * gbk.size());
    const std::optional<std::string> again = vorlen::Utf8ToGbk(text);
    if (text.find(kReplacement) == std::string::npos) {
        FUZZ_CHECK(again.has_value());
        FUZZ_CHECK(vorlen::GbkToUtf8(*again) == text);
    }
}

void CheckEncoding(std::string_view utf8) {
    const std::optional<std::string> gbk = vorlen::Utf8ToGbk(utf8);
    if (!IsValidUtf8(utf8)) {
        FUZZ_CHECK(!gbk.has_value());
    }
    if (gbk.has_value()) {
        FUZZ_CHECK(vorlen::GbkToUtf8(*gbk) == utf8);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckDecoding(bytes);
    CheckEncoding(bytes);
    return 0;
}
