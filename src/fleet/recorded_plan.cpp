#include "fleet/recorded_plan.h"

#include "profile/profile_keys.h"
#include "fleet/numbered_value.h"
#include "fleet/profile_proof.h"
#include "fleet/tool_texts.h"

namespace vorlen::fleet {
namespace {

bool Failing(Outcome& outcome, std::string failure) {
    outcome.result = Result::ReadBackFailed;
    outcome.failure = std::move(failure);
    return false;
}

// The numbers: drawn with the row to provision; only looked up to check,
// which draws none (a tracker without its number then differs).
bool FindNumbers(const Profile& target, const std::vector<NumberedKey>& keys, Mode mode,
                 int language, Outcome& outcome, TrackerRecord& record,
                 std::string& deviceValues, std::vector<long long>& numbers) {
    std::vector<std::string> series;
    for (const NumberedKey& key : keys) {
        series.push_back(key.numbering.series);
    }
    const std::string listed = deviceValues;
    const auto valuesWith = [&](const std::vector<long long>& drawn) {
        return WithNumberedValues(listed, WithNumbers(target, keys, drawn), keys);
    };
    const bool found = mode == Mode::Check
                           ? record.NumbersOf(outcome.imei, series, numbers)
                           : record.BeginNumbered(outcome, series, valuesWith, numbers);
    if (!found) {
        return Failing(outcome, Say(text::kNoNumber, language,
                                    {.detail = record.Failure(), .key = keys.front().key}));
    }
    deviceValues = valuesWith(numbers);
    return true;
}

// The target with the tracker's numbers, proven again as set-all will send
// it: a number can make a value longer than its field takes.
std::optional<Profile> Numbered(const Profile& target, Mode mode, int language,
                                Outcome& outcome, TrackerRecord& record,
                                std::string& deviceValues) {
    std::vector<std::string> refusals;
    const std::vector<NumberedKey> keys = NumberedKeys(target, language, refusals);
    if (keys.empty()) {
        return target;
    }
    std::vector<long long> numbers;
    if (!FindNumbers(target, keys, mode, language, outcome, record, deviceValues, numbers)) {
        return std::nullopt;
    }
    Profile numbered = WithNumbers(target, keys, numbers);
    if (mode == Mode::Check) {
        return numbered;
    }
    if (const std::optional<KeyMistake> mistake = FirstSetAllMistake(numbered, language)) {
        const ProfileKey* key = FindProfileKey(mistake->key);
        Failing(outcome, Say(text::kNumberRefused, language,
                             {.detail = mistake->why, .key = mistake->key,
                              .actual = key != nullptr ? ValueText(*key, numbered) : ""}));
        return std::nullopt;
    }
    return numbered;
}

}  // namespace

TrackerPlan RecordedPlan(const Profile& profile, const std::optional<DeviceList>& devices,
                         Mode mode, bool force, std::string& deviceValues,
                         TrackerRecord& record) {
    TrackerPlan plan;
    plan.mode = mode;
    plan.force = force;
    plan.target = [&profile, &devices,
                   &deviceValues](const std::string& imei) -> std::optional<Profile> {
        if (!devices) {
            return profile;
        }
        const auto row = devices->find(imei);
        if (row == devices->end()) {
            return std::nullopt;
        }
        deviceValues = ValuesJson(row->second);
        return row->second.profile;
    };
    plan.numbered = [&record, &deviceValues, mode](const Profile& target, int language,
                                                   Outcome& outcome) {
        return Numbered(target, mode, language, outcome, record, deviceValues);
    };
    plan.identified = [&record, &deviceValues](const Outcome& outcome) {
        record.Identified(outcome, deviceValues);
    };
    return plan;
}

}  // namespace vorlen::fleet
