// The line monitor's rows and vorlen-provision's terminal lines show bytes
// the tracker chose. Whatever arrives, a row must be valid UTF-8 without a
// raw control byte (nothing reaches a terminal that could move its cursor or
// change its colours), stay within four characters per byte, and decode
// back to exactly the bytes received, so nothing is hidden or invented.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "model/gbk.h"
#include "protocol/line_rows.h"
#include "utf8_check.h"

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// The bytes an escaped text stands for; nothing when it is not one.
std::optional<std::string> Unescaped(std::string_view text) {
    std::string bytes;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '\\') {
            if (i + 1 >= text.size()) {
                return std::nullopt;
            }
            const char kind = text[i + 1];
            if (kind == 'x') {
                if (i + 3 >= text.size()) {
                    return std::nullopt;
                }
                const int high = HexValue(text[i + 2]);
                const int low = HexValue(text[i + 3]);
                if (high < 0 || low < 0) {
                    return std::nullopt;
                }
                bytes += static_cast<char>(high * 16 + low);
                i += 4;
                continue;
            }
            const std::string_view plain = "rnt\\";
            const std::string_view meant = "\r\n\t\\";
            const std::size_t at = plain.find(kind);
            if (at == std::string_view::npos) {
                return std::nullopt;
            }
            bytes += meant[at];
            i += 2;
            continue;
        }
        const int length = SequenceLength(static_cast<unsigned char>(text[i]));
        const std::optional<std::string> gbk =
            vorlen::Utf8ToGbk(text.substr(i, static_cast<std::size_t>(length)));
        if (!gbk) {
            return std::nullopt;
        }
        bytes += *gbk;
        i += static_cast<std::size_t>(length);
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = vorlen::EscapedText(bytes);
    FUZZ_CHECK(IsValidUtf8(text));
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        FUZZ_CHECK(byte >= 0x20 && byte != 0x7f);
    }
    FUZZ_CHECK(text.size() <= 4 * bytes.size());
    const std::optional<std::string> back = Unescaped(text);
    FUZZ_CHECK(back.has_value());
    FUZZ_CHECK(*back == bytes);

    vorlen::LineEntry entry;
    entry.direction = size % 2 == 0 ? vorlen::LineDirection::Received : vorlen::LineDirection::Written;
    entry.bytes = std::string(bytes);
    const std::string row = vorlen::LineRow(entry);
    FUZZ_CHECK(row.find('\n') == std::string::npos);
    FUZZ_CHECK(row.ends_with(text));
    return 0;
}
