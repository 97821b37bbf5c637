#include "profile/profile_keys.h"

#include <array>

#include "model/control_ids.h"
#include "model/find_row.h"
#include "model/gbk.h"

namespace vorlen {
namespace {

using F = TrackerForm;
using S = Selections;

// Entry names by the list's index, which is what the commands send. Names
// rather than indexes, so a hand-edited file says what it means and a
// miscounted number cannot select a neighbouring entry.
constexpr std::array<std::string_view, 5> kWorkingModes{
    "P2P", "P2S", "custom-gprs", "long-gprs", "power-saving"};
constexpr std::array<std::string_view, 4> kWarningTypes{
    "none", "call", "message", "call-and-message"};
constexpr std::array<std::string_view, 8> kBaseStationCounts{
    "0", "1", "2", "3", "4", "5", "6", "7"};
constexpr std::array<std::string_view, 2> kFenceTypes{"circle", "custom"};
constexpr std::array<std::string_view, 2> kNorthSouth{"N", "S"};
constexpr std::array<std::string_view, 2> kEastWest{"E", "W"};

constexpr ProfileKey Text(std::string_view name, std::string F::*text,
                          std::string_view heading = {}) {
    return {name, KeyKind::Text, heading, text, nullptr, 0, {}};
}

constexpr ProfileKey Choice(std::string_view name, int S::*selection, int listId,
                            std::span<const std::string_view> entries,
                            std::string_view heading = {}) {
    return {name, KeyKind::Choice, heading, nullptr, selection, listId, entries};
}

constexpr std::array<ProfileKey, 30> kKeys{{
    Text("userNumber1", &F::userNumber1, "Phone numbers: digits, one leading + allowed"),
    Text("userNumber2", &F::userNumber2),
    Text("userNumber3", &F::userNumber3),
    Text("userNumber4", &F::userNumber4),
    Text("userNumber5", &F::userNumber5),
    Text("userNumber6", &F::userNumber6),
    Text("userNumber7", &F::userNumber7),
    Text("userNumber8", &F::userNumber8),
    Text("userNumber9", &F::userNumber9),
    Text("centerNumber", &F::centerNumber),
    Choice("workingMode", &S::workingMode, control::kWorkingModeList, kWorkingModes,
           "Working mode and reports"),
    Choice("warningType", &S::warningType, control::kWarningTypeList, kWarningTypes),
    Text("intervalTime", &F::intervalTime),
    Text("uploadCount", &F::uploadCount),
    Choice("baseStationCount", &S::baseStationCount, control::kBaseStationList,
           kBaseStationCounts),
    {"fenceEnabled", KeyKind::Switch, "Electric fence", nullptr, nullptr, 0, {}},
    Choice("fenceType", &S::fenceType, control::kFenceTypeList, kFenceTypes),
    Text("fenceRadius", &F::fenceRadius),
    Text("fenceInterval", &F::fenceInterval),
    Text("latitude", &F::latitude),
    Choice("northSouth", &S::northSouth, control::kNorthSouthList, kNorthSouth),
    Text("longitude", &F::longitude),
    Choice("eastWest", &S::eastWest, control::kEastWestList, kEastWest),
    Text("userPassword", &F::userPassword, "Password (four digits) and user ID"),
    Text("userId", &F::userId),
    Text("apn", &F::apn, "GPRS: APN and server"),
    Text("apnUser", &F::apnUser),
    Text("apnPassword", &F::apnPassword),
    Text("serverIp", &F::serverIp),
    Text("serverPort", &F::serverPort),
}};

}  // namespace

std::span<const ProfileKey> ProfileKeys() { return kKeys; }

const ProfileKey* FindProfileKey(std::string_view name) {
    return FindRow(ProfileKeys(), &ProfileKey::name, name);
}

const ProfileKey* FindChoiceKey(int listId) {
    const ProfileKey* key = FindRow(ProfileKeys(), &ProfileKey::listId, listId);
    return key != nullptr && key->kind == KeyKind::Choice ? key : nullptr;
}

int TextLimit(const ProfileKey& key) {
    return FindRow(ExchangeOrder(), &FieldSpec::name, key.name)->maxLength;
}

std::string_view EntryName(const ProfileKey& key, int index) {
    const bool listed = index >= 0 && static_cast<std::size_t>(index) < key.entries.size();
    return listed ? key.entries[static_cast<std::size_t>(index)] : std::string_view();
}

std::string ValueText(const ProfileKey& key, const Profile& profile) {
    switch (key.kind) {
        case KeyKind::Text:
            return GbkToUtf8(profile.form.*key.text);
        case KeyKind::Choice:
            return std::string(EntryName(key, profile.selections.*key.selection));
        case KeyKind::Switch:
            break;
    }
    return profile.form.fenceEnabled != 0 ? "true" : "false";
}

}  // namespace vorlen
