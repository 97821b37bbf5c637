#include "protocol/readback.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>
#include <vector>

#include "model/bilingual.h"
#include "model/control_ids.h"
#include "model/field_text.h"
#include "protocol/transaction.h"

namespace vorlen {
namespace {

using F = TrackerForm;

constexpr Bilingual kReadSucceeded{"Read config success!", "读取配置信息成功！"};
constexpr Bilingual kReadFailed{"Read config failed!", "读取配置信息失败！"};

enum class Use {
    Skip,        // read and ignored
    Text,        // stored in a record field exactly as received
    Choice,      // a number: the index of the entry to select
    Hemisphere,  // entry 0 for its letter in either case, entry 1 for anything else
    Finish,      // read by the query's finishing step
};

// One position of a reply's field list and where its value goes.
struct FieldPlace {
    int maxLength = 0;
    Use use = Use::Skip;
    std::string F::*text = nullptr;
    int listId = 0;
    char letter = 0;
};

constexpr FieldPlace Skip(int maxLength) { return {maxLength, Use::Skip}; }
constexpr FieldPlace Text(int maxLength, std::string F::*text) {
    return {maxLength, Use::Text, text};
}
constexpr FieldPlace Choice(int maxLength, int listId) {
    return {maxLength, Use::Choice, nullptr, listId};
}
constexpr FieldPlace Hemisphere(int maxLength, int listId, char letter) {
    return {maxLength, Use::Hemisphere, nullptr, listId, letter};
}
constexpr FieldPlace Finish(int maxLength) { return {maxLength, Use::Finish}; }

// Numbers, user ID, password, IMEI.
constexpr std::array<FieldPlace, 14> kNumbersReply{{
    Text(20, &F::centerNumber),
    Skip(20),
    Text(20, &F::userId),
    Text(20, &F::userPassword),
    Text(20, &F::userNumber1),
    Text(20, &F::userNumber2),
    Text(20, &F::userNumber3),
    Text(20, &F::userNumber4),
    Text(20, &F::userNumber5),
    Text(20, &F::userNumber6),
    Text(20, &F::userNumber7),
    Text(20, &F::userNumber8),
    Text(20, &F::userNumber9),
    Text(19, &F::imei),
}};

// Working mode, warning type, interval and upload count, APN, server,
// base-station count, software version.
constexpr std::size_t kVersionFirstPart = 11;
constexpr std::size_t kVersionSecondPart = 12;
constexpr std::array<FieldPlace, 13> kSystemReply{{
    Skip(19),
    Choice(19, control::kWorkingModeList),
    Choice(19, control::kWarningTypeList),
    Text(19, &F::intervalTime),
    Text(19, &F::uploadCount),
    Text(100, &F::apn),
    Text(kLongestReadBackApnLogin, &F::apnUser),
    Text(kLongestReadBackApnLogin, &F::apnPassword),
    Text(25, &F::serverIp),
    Text(19, &F::serverPort),
    Choice(19, control::kBaseStationList),
    Finish(19),
    Finish(19),
}};

// The electric fence.
constexpr std::size_t kFenceSwitch = 0;
constexpr std::size_t kFenceKind = 7;
constexpr std::array<FieldPlace, 8> kFenceReply{{
    Finish(19),
    Text(19, &F::latitude),
    Hemisphere(19, control::kNorthSouthList, 'N'),
    Text(19, &F::longitude),
    Hemisphere(19, control::kEastWestList, 'E'),
    Text(19, &F::fenceRadius),
    Text(19, &F::fenceInterval),
    Finish(19),
}};

// The fence parameters whose enabling follows the fence kind.
constexpr std::array<int, 2> kRadiusAndInterval{control::kFenceRadius, control::kFenceInterval};
constexpr std::array<int, 4> kCoordinates{control::kLongitude, control::kLatitude,
                                          control::kNorthSouthList, control::kEastWestList};

struct FenceKindEnabling {
    int kind;
    bool radiusAndInterval;
    bool coordinates;
};

// Kind 1 has no list entry of its own; kind 2 is the circle fence, kind 3 the
// custom fence with coordinates.
constexpr std::array<FenceKindEnabling, 3> kFenceKinds{{
    {1, false, false},
    {2, true, false},
    {3, true, true},
}};

using Fields = std::vector<std::string>;

void EnableAll(std::span<const int> controls, bool enable, FormView& view) {
    for (int id : controls) {
        view.EnableControl(id, enable);
    }
}

void FinishSystemReply(const Fields& fields, TrackerForm& form, FormView& view) {
    form.softwareVersion = "V" + fields[kVersionFirstPart] + " " + fields[kVersionSecondPart];
    view.ApplyWorkingModeEnabling();
}

void FinishFenceReply(const Fields& fields, TrackerForm& form, FormView& view) {
    form.fenceEnabled = IntegerValue(fields[kFenceSwitch]);
    if (form.fenceEnabled == 0) {
        view.EnableControl(control::kFenceTypeList, false);
        EnableAll(kRadiusAndInterval, false, view);
        EnableAll(kCoordinates, false, view);
        return;
    }
    const int kind = IntegerValue(fields[kFenceKind]);
    view.EnableControl(control::kFenceTypeList, true);
    // The tracker counts its kinds from 1, the list from the circle fence
    // (kind 2); kinds beyond the list leave it without a selection.
    view.SelectEntry(control::kFenceTypeList, kind >= 2 ? kind - 2 : 0);
    for (const FenceKindEnabling& rule : kFenceKinds) {
        if (rule.kind == kind) {
            EnableAll(kRadiusAndInterval, rule.radiusAndInterval, view);
            EnableAll(kCoordinates, rule.coordinates, view);
        }
    }
}

struct Query {
    std::string_view command;
    std::span<const FieldPlace> places;
    void (*finish)(const Fields& fields, TrackerForm& form, FormView& view);
};

constexpr std::array<Query, 3> kQueries{{
    {"AT+OPENAT=901,;\r\n", kNumbersReply, nullptr},
    {"AT+OPENAT=902,;\r\n", kSystemReply, FinishSystemReply},
    {"AT+OPENAT=903,;\r\n", kFenceReply, FinishFenceReply},
}};

// The values follow the first "@" of the trimmed reply; a reply without one
// is all values, any echo of the command included.
std::string_view FieldList(std::string_view reply) {
    const std::string_view trimmed = Trimmed(reply);
    const std::size_t at = trimmed.find('@');
    return at == std::string_view::npos ? trimmed : trimmed.substr(at + 1);
}

// Every position is taken, ignored ones too, so the next starts after it.
Fields TakeFields(std::string_view list, std::span<const FieldPlace> places) {
    const char* cursor = list.data();
    // A reply never exceeds the transaction's buffer, so its length fits.
    int remaining = static_cast<int>(list.size());
    Fields fields(places.size());
    for (std::size_t i = 0; i < places.size(); ++i) {
        TakeReplyField(cursor, remaining, kReplyFieldSeparator, fields[i],
                       places[i].maxLength + 1);
    }
    return fields;
}

bool IsHemisphereLetter(const std::string& field, char upperCase) {
    const char lowerCase = static_cast<char>(upperCase - 'A' + 'a');
    return field.size() == 1 && (field[0] == upperCase || field[0] == lowerCase);
}

void Apply(const FieldPlace& place, const std::string& field, TrackerForm& form,
           FormView& view) {
    switch (place.use) {
        case Use::Text:
            form.*place.text = field;
            break;
        case Use::Choice:
            view.SelectEntry(place.listId, IntegerValue(field));
            break;
        case Use::Hemisphere:
            view.SelectEntry(place.listId, IsHemisphereLetter(field, place.letter) ? 0 : 1);
            break;
        case Use::Skip:
        case Use::Finish:
            break;
    }
}

}  // namespace

void TakeReplyField(const char*& cursor, int& remaining, char separator, std::string& destination,
                    int size) {
    int length = 0;
    if (remaining > 0) {
        // `size - 1` would overflow for the lowest int.
        while (cursor[length] != separator && length + 1 < size) {
            ++length;
            if (length >= remaining) {
                break;
            }
        }
    }
    const std::string_view field(cursor, static_cast<std::size_t>(length));
    destination.assign(field.substr(0, field.find('\0')));
    // The character skipped past the field is the separator, or the first one
    // beyond a cut field.
    const int step = length + 1;
    cursor += std::min(step, std::max(remaining, 0));
    remaining -= step;
}

void ReadBackConfiguration(Port* port, TrackerForm& form, FormView& view, int language,
                           const Pause& pause) {
    for (const Query& query : kQueries) {
        std::string reply;
        if (!RunTransaction(port, query.command, reply, pause)) {
            view.ReportStatus(InLanguage(kReadFailed, language), StatusMark::Failure);
            return;
        }
        const Fields fields = TakeFields(FieldList(reply), query.places);
        for (std::size_t i = 0; i < fields.size(); ++i) {
            Apply(query.places[i], fields[i], form, view);
        }
        if (query.finish != nullptr) {
            query.finish(fields, form, view);
        }
    }
    view.Refresh();
    view.ReportStatus(InLanguage(kReadSucceeded, language), StatusMark::Success);
}

}  // namespace vorlen
