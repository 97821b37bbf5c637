#include "profile/toml_shield.h"

#include <algorithm>
#include <array>

namespace vorlen {
namespace {

constexpr char32_t kPlane15 = 0xF0000;

struct Range {
    char32_t first;
    char32_t last;
    char32_t except;
};

// The blocks of 1018 code points whose test falls through to the unreachable
// default, less the one character of each that the test does check.
constexpr std::array<Range, 3> kUntestable{{
    {0x00A0, 0x0499, 0x00A0},
    {0x2C5E, 0x3057, 0x3000},
    {0xFB26, 0xFEFF, 0xFEFF},
}};

bool IsUntestable(char32_t c) {
    for (const Range& range : kUntestable) {
        if (c >= range.first && c <= range.last && c != range.except) {
            return true;
        }
    }
    return false;
}

struct Decoded {
    char32_t value = 0;
    std::size_t length = 0;  // 0: not the start of a valid sequence
};

Decoded Decode(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || at + length > text.size()) {
        return {};
    }
    char32_t value = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) {
            return {};
        }
        value = (value << 6) | (next & 0x3F);
    }
    // An overlong form stays as it is, for the parser to refuse.
    constexpr std::array<char32_t, 5> kShortest{0, 0, 0x80, 0x800, 0x10000};
    return value < kShortest[length] ? Decoded{} : Decoded{value, length};
}

// Only characters from U+00A1 on are ever encoded.
void Encode(char32_t c, std::string& out) {
    if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    }
    out += static_cast<char>(0x80 | (c & 0x3F));
}

// Copies the text, changing characters as `change` says; every other byte,
// invalid ones included, is copied as it is.
template <typename Change>
std::string Changed(std::string_view utf8, Change change) {
    std::string out;
    out.reserve(utf8.size() + utf8.size() / 3);
    for (std::size_t at = 0; at < utf8.size();) {
        const Decoded decoded = Decode(utf8, at);
        const char32_t changed = decoded.length == 0 ? 0 : change(decoded.value);
        if (decoded.length == 0 || changed == decoded.value) {
            const std::size_t length = std::max<std::size_t>(decoded.length, 1);
            out.append(utf8.substr(at, length));
            at += length;
            continue;
        }
        Encode(changed, out);
        at += decoded.length;
    }
    return out;
}

bool InPlane15(char32_t c) { return c >= kPlane15 && c < kPlane15 + 0x10000; }

}  // namespace

std::string ShieldFromParser(std::string_view utf8) {
    return Changed(utf8, [](char32_t c) {
        return IsUntestable(c) ? kPlane15 + c : InPlane15(c) ? kPlane15 : c;
    });
}

std::string Unshielded(std::string_view utf8) {
    return Changed(utf8, [](char32_t c) {
        return InPlane15(c) && IsUntestable(c - kPlane15) ? c - kPlane15 : c;
    });
}

}  // namespace vorlen
