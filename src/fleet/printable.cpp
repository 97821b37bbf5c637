#include "fleet/printable.h"

#include <algorithm>
#include <array>
#include <utility>

#include "protocol/line_rows.h"

namespace vorlen::fleet {
namespace {

struct Character {
    char32_t code = 0;
    std::size_t length = 0;  // 0: the byte at the start is no character
};

// The well-formed UTF-8 character at `at` (no overlong form, no surrogate,
// nothing above U+10FFFF).
Character CharacterAt(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return {lead, 1};
    }
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || at + length > text.size()) {
        return {};
    }
    char32_t code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return {};
        }
        code = (code << 6) | (byte(i) & 0x3F);
    }
    constexpr std::array<char32_t, 5> kSmallest{0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return {};
    }
    return {code, length};
}

std::string Hex(unsigned char byte) {
    constexpr std::string_view kDigits = "0123456789abcdef";
    return std::string("\\x") + kDigits[byte >> 4] + kDigits[byte & 0xF];
}

// East Asian Wide and Fullwidth characters (Unicode's EastAsianWidth W and
// F), in the blocks the trackers' GBK texts and operators' names use.
constexpr std::array<std::pair<char32_t, char32_t>, 9> kWide{{
    {0x1100, 0x115F}, {0x2E80, 0x303E}, {0x3041, 0x33FF}, {0x3400, 0x4DBF},
    {0x4E00, 0x9FFF}, {0xA000, 0xA4CF}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF},
    {0xFF00, 0xFF60},
}};
// Combining marks, which share the column of the character before them.
constexpr std::array<std::pair<char32_t, char32_t>, 4> kCombining{{
    {0x0300, 0x036F}, {0x200B, 0x200F}, {0x20D0, 0x20FF}, {0xFE20, 0xFE2F},
}};

template <std::size_t N>
bool In(const std::array<std::pair<char32_t, char32_t>, N>& ranges, char32_t code) {
    return std::any_of(ranges.begin(), ranges.end(), [code](const auto& range) {
        return code >= range.first && code <= range.second;
    });
}

std::size_t Columns(char32_t code) {
    if (In(kCombining, code)) {
        return 0;
    }
    const bool wide = In(kWide, code) || (code >= 0xFFE0 && code <= 0xFFE6) ||
                      (code >= 0x20000 && code <= 0x3FFFD);
    return wide ? 2 : 1;
}

}  // namespace

std::string Printable(std::string_view text) {
    std::string shown;
    for (std::size_t at = 0; at < text.size();) {
        const Character character = CharacterAt(text, at);
        if (character.length == 0) {
            shown += Hex(static_cast<unsigned char>(text[at++]));
        } else if (character.length == 1) {
            shown += EscapedText(text.substr(at++, 1));
        } else if (character.code < 0xA0) {
            // U+0080 to U+009F: the C1 controls, shown by their code.
            shown += Hex(static_cast<unsigned char>(character.code));
            at += character.length;
        } else {
            shown += text.substr(at, character.length);
            at += character.length;
        }
    }
    return shown;
}

std::size_t DisplayColumns(std::string_view text) {
    std::size_t columns = 0;
    for (std::size_t at = 0; at < text.size();) {
        const Character character = CharacterAt(text, at);
        columns += character.length == 0 ? 1 : Columns(character.code);
        at += std::max<std::size_t>(character.length, 1);
    }
    return columns;
}

std::string CutToColumns(std::string_view text, std::size_t columns) {
    std::size_t used = 0;
    for (std::size_t at = 0; at < text.size();) {
        const Character character = CharacterAt(text, at);
        const std::size_t width = character.length == 0 ? 1 : Columns(character.code);
        if (used + width > columns) {
            return std::string(text.substr(0, at));
        }
        used += width;
        at += std::max<std::size_t>(character.length, 1);
    }
    return std::string(text);
}

}  // namespace vorlen::fleet
