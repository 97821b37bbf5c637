#include <algorithm>
#include <climits>
#include <set>
#include <string>
#include <vector>

#include <toml++/toml.h>

#include "model/free_text.h"
#include "model/gbk.h"
#include "profile/profile.h"
#include "profile/profile_keys.h"
#include "profile/profile_messages.h"
#include "profile/toml_shield.h"

namespace vorlen {
namespace {

namespace text = profile_text;
using Fault = std::optional<ProfileError>;

int LineOf(const toml::source_region& source) { return static_cast<int>(source.begin.line); }

ProfileError Refusal(const Bilingual& pattern, int language, int line, std::string_view key,
                     std::string_view detail = {}) {
    return {std::string(key), line, text::Describe(pattern, language, line, key, detail)};
}

// Bytes a command line must not carry: a line break would end the command
// early and start another.
bool HasControlCharacter(std::string_view gbk) {
    return std::any_of(gbk.begin(), gbk.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

// The free texts go between commas on the line and between "#" marks in a
// read-back.
bool SplitsTheCommand(const ProfileKey& key, std::string_view gbk) {
    return IsFreeText(key.text) && HoldsSeparator(gbk);
}

std::string EntryList(const ProfileKey& key) {
    std::string list = "\"\"";
    for (const std::string_view entry : key.entries) {
        list += ", \"" + std::string(entry) + "\"";
    }
    return list;
}

Fault TakeText(const ProfileKey& key, const toml::node& node, int line, int language,
               Profile& profile) {
    const auto* value = node.as_string();
    if (value == nullptr) {
        return Refusal(text::kNotText, language, line, key.name);
    }
    const std::optional<std::string> gbk = Utf8ToGbk(Unshielded(value->get()));
    if (!gbk) {
        return Refusal(text::kNotGbk, language, line, key.name);
    }
    if (HasControlCharacter(*gbk)) {
        return Refusal(text::kControlCharacter, language, line, key.name);
    }
    if (SplitsTheCommand(key, *gbk)) {
        return Refusal(text::kSeparator, language, line, key.name);
    }
    const int limit = TextLimit(key);
    if (gbk->size() > static_cast<std::size_t>(limit)) {
        return Refusal(text::kTooLong, language, line, key.name, std::to_string(limit));
    }
    profile.form.*key.text = *gbk;
    return std::nullopt;
}

// "" is a list without a selection, as a read-back can leave it.
Fault TakeChoice(const ProfileKey& key, const toml::node& node, int line, int language,
                 Profile& profile) {
    const auto* value = node.as_string();
    const auto& entries = key.entries;
    const auto found =
        value == nullptr ? entries.end() : std::find(entries.begin(), entries.end(), value->get());
    if (value == nullptr || (found == entries.end() && !value->get().empty())) {
        return Refusal(text::kNotEntry, language, line, key.name, EntryList(key));
    }
    profile.selections.*key.selection =
        found == entries.end() ? -1 : static_cast<int>(found - entries.begin());
    return std::nullopt;
}

Fault TakeSwitch(const ProfileKey& key, const toml::node& node, int line, int language,
                 Profile& profile) {
    const auto* value = node.as_boolean();
    if (value == nullptr) {
        return Refusal(text::kNotSwitch, language, line, key.name);
    }
    profile.form.fenceEnabled = value->get() ? 1 : 0;
    return std::nullopt;
}

Fault Take(const ProfileKey& key, const toml::node& node, int line, int language,
           Profile& profile) {
    switch (key.kind) {
        case KeyKind::Text:
            return TakeText(key, node, line, language, profile);
        case KeyKind::Choice:
            return TakeChoice(key, node, line, language, profile);
        case KeyKind::Switch:
            return TakeSwitch(key, node, line, language, profile);
    }
    return std::nullopt;
}

// Every fault, in the order the operator meets them reading down the file;
// missing keys, which have no line, come last.
ProfileResult Refused(std::vector<ProfileError> faults) {
    std::stable_sort(faults.begin(), faults.end(), [](const ProfileError& a, const ProfileError& b) {
        return (a.line == 0 ? INT_MAX : a.line) < (b.line == 0 ? INT_MAX : b.line);
    });
    ProfileResult result{std::nullopt, faults.front(), faults};
    for (std::size_t i = 1; i < faults.size(); ++i) {
        result.error.message += "\n" + faults[i].message;
    }
    return result;
}

}  // namespace

ProfileResult ReadProfile(std::string_view utf8Text, int language) {
    toml::table table;
    try {
        table = toml::parse(ShieldFromParser(utf8Text));
    } catch (const toml::parse_error& error) {
        const int line = LineOf(error.source());
        return Refused({Refusal(text::kSyntax, language, line, {}, Unshielded(error.description()))});
    }
    Profile profile;
    std::vector<ProfileError> faults;
    std::set<std::string_view> seen;
    for (const auto& [name, node] : table) {
        const int line = LineOf(name.source());
        const ProfileKey* key = FindProfileKey(name.str());
        if (key == nullptr) {
            faults.push_back(Refusal(text::kUnknownKey, language, line, Unshielded(name.str())));
            continue;
        }
        seen.insert(key->name);
        if (Fault fault = Take(*key, node, line, language, profile)) {
            faults.push_back(std::move(*fault));
        }
    }
    for (const ProfileKey& key : ProfileKeys()) {
        if (!seen.contains(key.name)) {
            faults.push_back(Refusal(text::kMissingKey, language, 0, key.name));
        }
    }
    if (!faults.empty()) {
        return Refused(std::move(faults));
    }
    return {std::move(profile), {}, {}};
}

std::vector<ProfileError> FieldsThatWillNotLoad(const TrackerForm& form,
                                                const Selections& selections, int language) {
    return ReadProfile(WriteProfile(form, selections), language).faults;
}

}  // namespace vorlen
