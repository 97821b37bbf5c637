#include "profile/profile_messages.h"

#include <optional>

#include "model/gbk.h"

namespace vorlen::profile_text {
namespace {

void Replace(std::string& text, std::string_view placeholder, std::string_view value) {
    for (std::size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size())) {
        text.replace(at, placeholder.size(), value);
    }
}

// Each non-ASCII character (a lead byte and its continuation bytes) becomes
// one "?".
std::string AsciiOnly(std::string_view utf8) {
    std::string ascii;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            ascii += c;
        } else if (byte >= 0xC0) {
            ascii += '?';
        }
    }
    return ascii;
}

std::string Fill(std::string_view pattern, int line, std::string_view key,
                 std::string_view detail) {
    std::string text(pattern);
    Replace(text, "{line}", std::to_string(line));
    Replace(text, "{key}", key);
    Replace(text, "{detail}", detail);
    return text;
}

}  // namespace

std::string Describe(const Bilingual& pattern, int language, int line, std::string_view key,
                     std::string_view detail) {
    const std::string_view utf8 = Utf8In(pattern, language);
    if (std::optional<std::string> gbk = Utf8ToGbk(Fill(utf8, line, key, detail))) {
        return *gbk;
    }
    return GbkOf(Fill(utf8, line, AsciiOnly(key), AsciiOnly(detail)));
}

}  // namespace vorlen::profile_text
