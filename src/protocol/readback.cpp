#include "protocol/readback.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>
#include <vector>

#include "model/bilingual.h"
#include "model/field_text.h"
#include "protocol/transaction.h"

namespace vorlen {
namespace {

using F = TrackerForm;
using S = Selections;

constexpr Bilingual kReadSucceeded{"Read config success!", "读取配置信息成功！"};
constexpr Bilingual kReadFailed{"Read config failed!", "读取配置信息失败！"};

enum class Use {
    Skip,        // read and ignored
    Text,        // stored in a record field exactly as received
    Choice,      // a number: the index of the entry it names
    Hemisphere,  // entry 0 for its letter in either case, entry 1 for anything else
    Finish,      // read by the query's finishing step
};

// One position of a reply's field list and where its value goes.
struct FieldPlace {
    int maxLength = 0;
    Use use = Use::Skip;
    std::string F::*text = nullptr;
    int S::*selection = nullptr;
    int entries = 0;
    char letter = 0;
};

constexpr FieldPlace Skip(int maxLength) { return {maxLength, Use::Skip}; }
constexpr FieldPlace Text(int maxLength, std::string F::*text) {
    return {maxLength, Use::Text, text};
}
constexpr FieldPlace Choice(int maxLength, int S::*selection, int entries) {
    return {maxLength, Use::Choice, nullptr, selection, entries};
}
constexpr FieldPlace Hemisphere(int maxLength, int S::*selection, char letter) {
    return {maxLength, Use::Hemisphere, nullptr, selection, kHemisphereEntries, letter};
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
    Choice(19, &S::workingMode, kWorkingModeEntries),
    Choice(19, &S::warningType, kWarningTypeEntries),
    Text(19, &F::intervalTime),
    Text(19, &F::uploadCount),
    Text(100, &F::apn),
    Text(kLongestReadBackApnLogin, &F::apnUser),
    Text(kLongestReadBackApnLogin, &F::apnPassword),
    Text(25, &F::serverIp),
    Text(19, &F::serverPort),
    Choice(19, &S::baseStationCount, kBaseStationEntries),
    Finish(19),
    Finish(19),
}};

// The electric fence.
constexpr std::size_t kFenceSwitch = 0;
constexpr std::size_t kFenceKind = 7;
constexpr std::array<FieldPlace, 8> kFenceReply{{
    Finish(19),
    Text(19, &F::latitude),
    Hemisphere(19, &S::northSouth, 'N'),
    Text(19, &F::longitude),
    Hemisphere(19, &S::eastWest, 'E'),
    Text(19, &F::fenceRadius),
    Text(19, &F::fenceInterval),
    Finish(19),
}};

using Fields = std::vector<std::string>;

void FinishSystemReply(const Fields& fields, TrackerReading& reading) {
    reading.form.softwareVersion =
        "V" + fields[kVersionFirstPart] + " " + fields[kVersionSecondPart];
}

void FinishFenceReply(const Fields& fields, TrackerReading& reading) {
    reading.form.fenceEnabled = IntegerValue(fields[kFenceSwitch]);
    if (reading.form.fenceEnabled == 0) {
        return;
    }
    reading.fenceKind = IntegerValue(fields[kFenceKind]);
    // Kinds below the list's first stand on its first entry; kinds beyond
    // the list name none.
    const int kind = reading.fenceKind;
    const int entry = kind >= kFenceKindOfFirstEntry ? kind - kFenceKindOfFirstEntry : 0;
    reading.selections.fenceType = ListedEntry(entry, kFenceTypeEntries);
}

struct Query {
    std::string_view command;
    std::span<const FieldPlace> places;
    void (*finish)(const Fields& fields, TrackerReading& reading);
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

void Apply(const FieldPlace& place, const std::string& field, TrackerReading& reading) {
    switch (place.use) {
        case Use::Text:
            reading.form.*place.text = field;
            break;
        case Use::Choice:
            reading.selections.*place.selection = ListedEntry(IntegerValue(field), place.entries);
            break;
        case Use::Hemisphere:
            reading.selections.*place.selection = IsHemisphereLetter(field, place.letter) ? 0 : 1;
            break;
        case Use::Skip:
        case Use::Finish:
            break;
    }
}

TrackerReading ReadBack(Port* port, const TrackerForm& form, const Pause& pause) {
    TrackerReading reading;
    reading.form = form;
    for (const Query& query : kQueries) {
        std::string reply;
        if (!RunTransaction(port, query.command, reply, pause)) {
            break;
        }
        const Fields fields = TakeFields(FieldList(reply), query.places);
        for (std::size_t i = 0; i < fields.size(); ++i) {
            Apply(query.places[i], fields[i], reading);
        }
        if (query.finish != nullptr) {
            query.finish(fields, reading);
        }
        ++reading.answered;
    }
    return reading;
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

TrackerReading ReadBackTracker(Port& port, const TrackerForm& form, const Pause& pause) {
    return ReadBack(&port, form, pause);
}

std::string ReadBackResultText(bool succeeded, int language) {
    return InLanguage(succeeded ? kReadSucceeded : kReadFailed, language);
}

void ReadBackConfiguration(Port* port, TrackerForm& form, FormView& view, int language,
                           const Pause& pause) {
    const TrackerReading reading = ReadBack(port, form, pause);
    form = reading.form;
    view.ShowReading(reading);
    if (reading.Succeeded()) {
        view.Refresh();
    }
    view.ReportStatus(ReadBackResultText(reading.Succeeded(), language),
                      reading.Succeeded() ? StatusMark::Success : StatusMark::Failure);
}

}  // namespace vorlen
