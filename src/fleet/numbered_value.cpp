#include "fleet/numbered_value.h"

#include <nlohmann/json.hpp>

#include "model/gbk.h"
#include "profile/profile_keys.h"
#include "fleet/tool_texts.h"

namespace vorlen::fleet {
namespace {

constexpr std::string_view kOpening = "{n";
constexpr int kWidestNumber = 9;

// The placeholder at the start of `text` ("{n}" or "{n:0W}"): its length
// and width, or nothing when it is malformed.
std::optional<Numbering> PlaceholderAt(std::string_view text) {
    if (text.starts_with("{n}")) {
        return Numbering{.series = {}, .at = 0, .length = 3, .width = 0};
    }
    // "{n:0W}": exactly one digit W from 1 to 9 after the zero.
    const bool padded = text.size() >= 6 && text.substr(0, 4) == "{n:0" && text[4] >= '1' &&
                        text[4] <= '0' + kWidestNumber && text[5] == '}';
    if (!padded) {
        return std::nullopt;
    }
    return Numbering{.series = {}, .at = 0, .length = 6, .width = text[4] - '0'};
}

}  // namespace

std::optional<Numbering> FindNumbering(std::string_view utf8, int language,
                                       std::string& refusal) {
    const std::size_t at = utf8.find(kOpening);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    std::optional<Numbering> numbering = PlaceholderAt(utf8.substr(at));
    if (!numbering) {
        refusal = Say(text::kBadNumber, language, {.detail = utf8});
        return std::nullopt;
    }
    if (utf8.find(kOpening, at + numbering->length) != std::string_view::npos) {
        refusal = Say(text::kTwoNumbers, language, {.detail = utf8});
        return std::nullopt;
    }
    numbering->at = at;
    numbering->series = std::string(utf8.substr(0, at)) + "{n}" +
                        std::string(utf8.substr(at + numbering->length));
    return numbering;
}

std::string Numbered(std::string_view utf8, const Numbering& numbering, long long number) {
    std::string digits = std::to_string(number);
    if (digits.size() < static_cast<std::size_t>(numbering.width)) {
        digits.insert(0, static_cast<std::size_t>(numbering.width) - digits.size(), '0');
    }
    return std::string(utf8.substr(0, numbering.at)) + digits +
           std::string(utf8.substr(numbering.at + numbering.length));
}

std::vector<NumberedKey> NumberedKeys(const Profile& profile, int language,
                                      std::vector<std::string>& refusals) {
    std::vector<NumberedKey> keys;
    for (const ProfileKey& key : ProfileKeys()) {
        if (key.kind != KeyKind::Text) {
            continue;
        }
        std::string refusal;
        const std::string value = GbkToUtf8(profile.form.*key.text);
        if (std::optional<Numbering> numbering = FindNumbering(value, language, refusal)) {
            keys.push_back({std::string(key.name), std::move(*numbering)});
        } else if (!refusal.empty()) {
            refusals.push_back(std::string(key.name) + ": " + refusal);
        }
    }
    return keys;
}

// Texts are GBK in the record; the placeholder is found in UTF-8, where its
// bytes cannot be the second half of a Chinese character.
Profile WithNumbers(Profile profile, const std::vector<NumberedKey>& keys,
                    const std::vector<long long>& numbers) {
    for (std::size_t i = 0; i < keys.size() && i < numbers.size(); ++i) {
        if (numbers[i] == 0) {
            continue;
        }
        std::string& text = profile.form.*FindProfileKey(keys[i].key)->text;
        const std::string numbered = Numbered(GbkToUtf8(text), keys[i].numbering, numbers[i]);
        text = Utf8ToGbk(numbered).value_or(text);
    }
    return profile;
}

Profile WithSampleNumbers(const Profile& profile) {
    std::vector<std::string> refusals;
    const std::vector<NumberedKey> keys = NumberedKeys(profile, 1, refusals);
    return WithNumbers(profile, keys, std::vector<long long>(keys.size(), 1));
}

std::string WithNumberedValues(const std::string& deviceValues, const Profile& numbered,
                               const std::vector<NumberedKey>& keys) {
    nlohmann::ordered_json values = nlohmann::ordered_json::parse(deviceValues, nullptr, false);
    if (!values.is_object()) {
        values = nlohmann::ordered_json::object();
    }
    for (const NumberedKey& key : keys) {
        values[key.key] = ValueText(*FindProfileKey(key.key), numbered);
    }
    return values.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace vorlen::fleet
