// Every operator-facing text exists in English and Chinese. Tables hold them
// as UTF-8 source text; the form and its record use GBK bytes.
#pragma once

#include <string>
#include <string_view>

namespace vorlen {

struct Bilingual {
    std::string_view english;
    std::string_view chinese;
};

// The language list's index 0 is Chinese; every other value, -1 included,
// means English.
inline constexpr int kChinese = 0;
inline constexpr int kEnglish = 1;

inline std::string_view Utf8In(const Bilingual& text, int language) {
    return language == kChinese ? text.chinese : text.english;
}

// The text in the chosen language as GBK bytes.
std::string InLanguage(const Bilingual& text, int language);

}  // namespace vorlen
