#include "fleet/profile_proof.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <string_view>

#include "model/find_row.h"
#include "model/gbk.h"
#include "model/validation.h"
#include "profile/key_lines.h"
#include "profile/profile_file.h"
#include "profile/profile_keys.h"
#include "protocol/line_rows.h"
#include "protocol/readback.h"
#include "fleet/numbered_value.h"
#include "fleet/tool_texts.h"

namespace vorlen::fleet {
namespace {

struct Mistake {
    int line;
    std::string key;
    std::string text;
};

// Each mistake as a profile file's line names it, and as a device row's
// column names it (the row and column come before it there).
struct Wording {
    Bilingual inFile;
    Bilingual inRow;
};

constexpr Wording kEmptyChoice{text::kEmptyChoice, text::kEmptyChoiceInRow};
constexpr Wording kSetAllRefuses{text::kSetAllRefuses, text::kSetAllRefusesInRow};
constexpr Wording kNotVerifiable{text::kNotVerifiable, text::kNotVerifiableInRow};
constexpr Wording kRefusedProfile{text::kRefusedProfile, text::kRefusedProfile};
constexpr Wording kBadNumbering{text::kNumberingRefused, text::kNumberingRefusedInRow};

// The field behind each message of the set-all check, and a value that passes
// its rule. The check stops at its first failing rule; putting the stand-in in
// the refused field's place and checking again finds the next one, so the
// check itself is asked about every field and not written a second time.
struct Culprit {
    ValidationMessage message;
    std::string_view key;
    std::string_view standIn;
};

constexpr std::array<Culprit, 25> kCulprits{{
    {ValidationMessage::UserNumber1, "userNumber1", ""},
    {ValidationMessage::UserNumber2, "userNumber2", ""},
    {ValidationMessage::UserNumber3, "userNumber3", ""},
    {ValidationMessage::UserNumber4, "userNumber4", ""},
    {ValidationMessage::UserNumber5, "userNumber5", ""},
    {ValidationMessage::UserNumber6, "userNumber6", ""},
    {ValidationMessage::UserNumber7, "userNumber7", ""},
    {ValidationMessage::UserNumber8, "userNumber8", ""},
    {ValidationMessage::UserNumber9, "userNumber9", ""},
    {ValidationMessage::CenterNumber, "centerNumber", ""},
    {ValidationMessage::FenceRadius, "fenceRadius", "1"},
    {ValidationMessage::FenceInterval, "fenceInterval", "1"},
    {ValidationMessage::Latitude, "latitude", ""},
    {ValidationMessage::Longitude, "longitude", ""},
    {ValidationMessage::Interval, "intervalTime", ""},
    {ValidationMessage::Upload, "uploadCount", ""},
    {ValidationMessage::UserId, "userId", ""},
    {ValidationMessage::PasswordLength, "userPassword", "0000"},
    {ValidationMessage::PasswordDigits, "userPassword", "0000"},
    {ValidationMessage::UserIdSeparator, "userId", ""},
    {ValidationMessage::ApnSeparator, "apn", ""},
    {ValidationMessage::ApnUserSeparator, "apnUser", ""},
    {ValidationMessage::ApnPasswordSeparator, "apnPassword", ""},
    {ValidationMessage::ServerIpSeparator, "serverIp", ""},
    {ValidationMessage::ServerPortSeparator, "serverPort", ""},
}};

// The choices whose index a set-all command carries: an empty one would go
// out as -1 (or, for a hemisphere, silently as "S" or "W").
std::vector<std::string_view> ChoicesSent(const Profile& profile) {
    std::vector<std::string_view> sent{"workingMode", "warningType", "baseStationCount"};
    if (profile.form.fenceEnabled != 0) {
        sent.push_back("fenceType");
        if (profile.selections.fenceType == kCustomFence) {
            sent.insert(sent.end(), {"northSouth", "eastWest"});
        }
    }
    return sent;
}

class Mistakes {
public:
    Mistakes(const KeyLineMap& lines, int language, bool inRow = false)
        : lines_(lines), language_(language), inRow_(inRow) {}

    void Add(const Wording& wording, std::string_view key, std::string_view detail = {},
             int total = 0) {
        const auto found = lines_.find(key);
        const int line = found == lines_.end() ? 0 : found->second;
        list_.push_back({line, std::string(key),
                         Say(inRow_ ? wording.inRow : wording.inFile, language_,
                             {.detail = detail, .count = line, .total = total, .key = key})});
    }

    const std::vector<Mistake>& Found() const { return list_; }

    std::vector<std::string> InFileOrder() {
        std::stable_sort(list_.begin(), list_.end(),
                         [](const Mistake& a, const Mistake& b) { return a.line < b.line; });
        std::vector<std::string> texts;
        for (Mistake& mistake : list_) {
            texts.push_back(std::move(mistake.text));
        }
        return texts;
    }

    int Language() const { return language_; }

private:
    const KeyLineMap& lines_;
    const int language_;
    const bool inRow_;
    std::vector<Mistake> list_;
};

void FindEmptyChoices(const Profile& profile, Mistakes& mistakes) {
    for (const std::string_view name : ChoicesSent(profile)) {
        const ProfileKey& key = *FindProfileKey(name);
        if (EntryName(key, profile.selections.*key.selection).empty()) {
            std::string entries;
            for (const std::string_view entry : key.entries) {
                entries += (entries.empty() ? "" : " ") + std::string(entry);
            }
            mistakes.Add(kEmptyChoice, name, entries);
        }
    }
}

void FindRefusedFields(const Profile& profile, Mistakes& mistakes) {
    Profile trial = profile;
    while (const Verdict verdict = ValidateAllFields(trial.form, trial.selections)) {
        const Culprit* culprit = FindRow<Culprit>(kCulprits, &Culprit::message, *verdict);
        const std::string message =
            EscapedText(InLanguage(MessageText(*verdict), mistakes.Language()));
        if (culprit == nullptr) {
            // A rule without a field here still refuses the profile.
            mistakes.Add(kRefusedProfile, {}, message);
            return;
        }
        mistakes.Add(kSetAllRefuses, culprit->key, message);
        trial.form.*FindProfileKey(culprit->key)->text = culprit->standIn;
    }
}

// Verification compares what was sent with what the read-back shows; a value
// the read-back cuts could only be compared in part, and a tracker that kept
// a different last byte would pass. Such a value is refused, not half
// verified.
void FindUnverifiable(const Profile& profile, Mistakes& mistakes) {
    for (const std::string_view name : {"apnUser", "apnPassword"}) {
        const std::string& value = profile.form.*FindProfileKey(name)->text;
        if (value.size() > static_cast<std::size_t>(kLongestReadBackApnLogin)) {
            mistakes.Add(kNotVerifiable, name, {}, kLongestReadBackApnLogin);
        }
    }
}

// A numbered value must be well formed; the rest of the proof takes it with
// a number in the placeholder's place, as a tracker will get it.
void FindBadNumberings(const Profile& profile, Mistakes& mistakes) {
    for (const ProfileKey& key : ProfileKeys()) {
        std::string refusal;
        if (key.kind == KeyKind::Text &&
            !FindNumbering(GbkToUtf8(profile.form.*key.text), mistakes.Language(), refusal) &&
            !refusal.empty()) {
            mistakes.Add(kBadNumbering, key.name, refusal);
        }
    }
}

void FindAll(const Profile& profile, Mistakes& mistakes) {
    FindBadNumberings(profile, mistakes);
    const Profile sample = WithSampleNumbers(profile);
    FindEmptyChoices(sample, mistakes);
    FindRefusedFields(sample, mistakes);
    FindUnverifiable(sample, mistakes);
}

}  // namespace

std::vector<std::string> SetAllMistakes(const Profile& profile, const KeyLineMap& lines,
                                        int language) {
    Mistakes mistakes(lines, language);
    FindAll(profile, mistakes);
    return mistakes.InFileOrder();
}

std::optional<KeyMistake> FirstSetAllMistake(const Profile& profile, int language) {
    const KeyLineMap noLines;
    Mistakes mistakes(noLines, language, true);
    FindAll(profile, mistakes);
    if (mistakes.Found().empty()) {
        return std::nullopt;
    }
    const Mistake& first = mistakes.Found().front();
    return KeyMistake{first.key, first.text};
}

namespace {

std::string FileText(const std::string& path) {
    std::ifstream in(FilePath(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

std::optional<Profile> CheckedProfileFile(const std::string& path, int language,
                                          std::vector<std::string>& mistakes) {
    ProfileResult loaded = LoadProfileFile(FilePath(path), language);
    if (!loaded) {
        // A fault inside the file is named with the file; a missing file
        // names itself.
        for (const ProfileError& fault : loaded.faults) {
            const std::string message = EscapedText(fault.message);
            mistakes.push_back(fault.line > 0 || !fault.key.empty()
                                   ? Say(text::kBadProfile, language,
                                         {.port = path, .detail = message})
                                   : message);
        }
        return std::nullopt;
    }
    for (const std::string& mistake :
         SetAllMistakes(*loaded.profile, KeyLines(FileText(path)), language)) {
        mistakes.push_back(Say(text::kBadProfile, language, {.port = path, .detail = mistake}));
    }
    return mistakes.empty() ? std::move(loaded.profile) : std::nullopt;
}

}  // namespace vorlen::fleet
