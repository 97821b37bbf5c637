// Why a profile is refused, in both languages. Each names the key and the
// line, so the operator can go straight to the fault.
#pragma once

#include <string>
#include <string_view>

#include "model/bilingual.h"

namespace vorlen::profile_text {

// Patterns: {line}, {key} and {detail} are filled in by Describe.
inline constexpr Bilingual kSyntax{"Line {line} is not valid TOML: {detail}",
                                   "第{line}行不是有效的TOML: {detail}"};
inline constexpr Bilingual kUnknownKey{"Line {line}: unknown key \"{key}\".",
                                       "第{line}行: 未知的键\"{key}\"。"};
inline constexpr Bilingual kNotText{"Line {line}: \"{key}\" must be a text in quotes.",
                                    "第{line}行: \"{key}\"必须是引号中的文字。"};
inline constexpr Bilingual kNotSwitch{"Line {line}: \"{key}\" must be true or false.",
                                      "第{line}行: \"{key}\"必须是true或false。"};
inline constexpr Bilingual kTooLong{
    "Line {line}: \"{key}\" is longer than {detail} bytes (a Chinese character counts two).",
    "第{line}行: \"{key}\"超过{detail}个字节(一个汉字算两个)。"};
inline constexpr Bilingual kNotGbk{
    "Line {line}: \"{key}\" holds a character the tracker cannot store.",
    "第{line}行: \"{key}\"含有追踪器无法保存的字符。"};
inline constexpr Bilingual kControlCharacter{
    "Line {line}: \"{key}\" holds a control character such as a line break.",
    "第{line}行: \"{key}\"含有换行等控制字符。"};
inline constexpr Bilingual kSeparator{
    "Line {line}: \"{key}\" holds \",\", \";\" or \"#\", which would split the tracker's command.",
    "第{line}行: \"{key}\"含有\",\"、\";\"或\"#\", 会拆开追踪器的命令。"};
inline constexpr Bilingual kNotEntry{"Line {line}: \"{key}\" must be one of {detail}.",
                                     "第{line}行: \"{key}\"必须是{detail}之一。"};
inline constexpr Bilingual kMissingKey{"The profile has no \"{key}\".",
                                       "配置文件缺少\"{key}\"。"};
inline constexpr Bilingual kNoFile{"Cannot read the profile {detail}: no such file.",
                                   "无法读取配置文件{detail}: 文件不存在。"};
inline constexpr Bilingual kUnreadable{"Cannot read the profile {detail}.",
                                       "无法读取配置文件{detail}。"};
inline constexpr Bilingual kNotWritten{"Cannot write the profile {detail}.",
                                       "无法写入配置文件{detail}。"};
inline constexpr Bilingual kTooLarge{"The file {detail} is too large to be a profile.",
                                     "文件{detail}太大, 不是配置文件。"};

// Asked before a profile is saved that Load would refuse; the faults go
// between the two.
inline constexpr Bilingual kWillNotLoad{"These fields will not load back from the profile:",
                                        "以下字段将无法从配置文件载入:"};
inline constexpr Bilingual kSaveAnyway{"Save it anyway?", "仍然保存吗?"};

// The pattern filled in, as GBK bytes. Texts from the file that GBK cannot
// show (a key, a path) are shown with "?" for each character outside ASCII.
std::string Describe(const Bilingual& pattern, int language, int line, std::string_view key,
                     std::string_view detail = {});

}  // namespace vorlen::profile_text
