#include "serial/open_messages.h"

#include "model/bilingual.h"

namespace vorlen {

namespace {

constexpr Bilingual kOpened{"Init and Open %s Success!", "初始化并打开%s成功!"};
constexpr Bilingual kFailed{"Open %s Failed!", "打开%s失败!"};
constexpr std::string_view kNameMark = "%s";

}  // namespace

std::string OpenResultText(const std::string& portName, bool opened, int language) {
    // "%" lies below every GBK trail byte, so the mark cannot be half of a
    // Chinese character.
    std::string text = InLanguage(opened ? kOpened : kFailed, language);
    text.replace(text.find(kNameMark), kNameMark.size(), portName);
    return text;
}

}  // namespace vorlen
