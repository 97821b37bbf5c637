#include "model/typing_limit.h"

#include <algorithm>
#include <optional>
#include <string>

#include "model/free_text.h"
#include "model/gbk.h"
#include "model/shown_text.h"

namespace vorlen {
namespace {

bool IsControlByte(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return value < 0x20 || value == 0x7F;
}

std::size_t Separators(std::string_view gbk) {
    return static_cast<std::size_t>(std::count_if(gbk.begin(), gbk.end(), IsSeparatorByte));
}

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

std::string WithQuestionMarks(std::string_view shown) {
    std::string text;
    for (std::size_t at; (at = shown.find(kReplacementCharacter)) != std::string_view::npos;) {
        text.append(shown.substr(0, at)) += '?';
        shown.remove_prefix(at + kReplacementCharacter.size());
    }
    return text.append(shown);
}

}  // namespace

bool AcceptsTyping(const FieldSpec* field, std::string_view beforeGbk, std::string_view afterGbk) {
    if (std::any_of(afterGbk.begin(), afterGbk.end(), IsControlByte)) {
        return false;
    }
    if (field == nullptr) {
        return true;
    }
    if (field->text != nullptr && IsFreeText(field->text) &&
        Separators(afterGbk) > Separators(beforeGbk)) {
        return false;
    }
    return KeepsTypingLimit(beforeGbk.size(), afterGbk.size(), field->maxLength);
}

Typing JudgeTyping(const FieldSpec* field, std::string_view shownBefore,
                   std::string_view shownAfter) {
    const std::optional<std::string> after = Utf8ToGbk(WithQuestionMarks(shownAfter));
    if (!after || !AcceptsTyping(field, GbkOfShownText(WithQuestionMarks(shownBefore), {}), *after)) {
        return Typing::Refused;
    }
    const int maxBytes = field != nullptr ? field->maxLength : 0;
    return maxBytes <= 0 || after->size() <= static_cast<std::size_t>(maxBytes)
               ? Typing::Accepted
               : Typing::AcceptedOverLimit;
}

}  // namespace vorlen
