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
#include "utf8_check.h"

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

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
