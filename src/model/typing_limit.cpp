#include "model/typing_limit.h"

#include <algorithm>

#include "model/free_text.h"

namespace vorlen {
namespace {

bool IsControlByte(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return value < 0x20 || value == 0x7F;
}

std::size_t Separators(std::string_view gbk) {
    return static_cast<std::size_t>(std::count_if(gbk.begin(), gbk.end(), IsSeparatorByte));
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

}  // namespace vorlen
