// Hostile operator input through the real window, for every field a button
// checks: typed, pasted, and brought in by a load (as a read-back does). Each
// press must end exactly as the rules say, with the refusal's message or with
// the command carrying the field, and the tracker must receive nothing for a
// refused input.
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

#include "../window/rig.h"
#include "model/bilingual.h"
#include "model/control_ids.h"
#include "model/validation.h"

namespace vorlen::testing {
namespace {

using F = TrackerForm;

void Paste(QWidget* edit, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
}

std::string Trim(const std::string& text) {
    constexpr const char* kBlanks = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(kBlanks);
    return first == std::string::npos
               ? std::string()
               : text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::string Number(const std::string& text) { return std::to_string(std::atoi(Trim(text).c_str())); }

// A field a button checks, and what that button sends when the check passes.
struct SweptField {
    std::string name;
    int edit;
    int button;
    int workingMode;  // one that shows the field
    bool fence;       // the custom fence is switched on first
    std::string F::*text;
    int maxLength;
    std::function<Verdict(F&, const Selections&)> check;
    std::function<std::string(const F& saved)> command;
    std::string success;
    std::string failure;
};

// Test names and ctest's list show the field, not the bytes of the struct.
void PrintTo(const SweptField& field, std::ostream* out) { *out << field.name; }

constexpr int kP2P = 0;
constexpr int kP2S = 1;  // shows the centre number
constexpr int kCustomGprs = 2;  // shows the user ID; sends the upload count
constexpr int kPowerSaving = 4;  // allows intervals up to 65535

const char* const kOrdinals[] = {"1th", "2th", "3th", "4th", "5th", "6th", "7th", "8th", "9th"};

std::string FenceCommand(const F& f) {
    return "AT+OPENAT=751," + Trim(f.fenceRadius) + "," + Trim(f.fenceInterval) + "," +
           Trim(f.longitude) + ",E," + Trim(f.latitude) + ",N;";
}

SweptField IntervalField(const std::string& name, std::string F::*text, int mode) {
    return {name, text == &F::intervalTime ? kIntervalTime : kUploadCount, kSetIntervalAndUpload,
            mode, false, text, text == &F::intervalTime ? 5 : 2, CheckIntervalAndUpload,
            [mode](const F& f) {
                const bool sendsUpload = mode == 2 || mode == 3;
                return "AT+OPENAT=730," + Number(f.intervalTime) + "," +
                       (sendsUpload ? Number(f.uploadCount) : std::string("1")) + ";";
            },
            "Set interval time and count successfully!", "Set interval time and count failed!"};
}

SweptField FenceField(const std::string& name, int edit, std::string F::*text, int maxLength) {
    return {name, edit, kSetElectricFence, kP2P, true, text, maxLength, CheckElectricFence,
            FenceCommand, "Set fence information successfully!", "Set fence information failed!"};
}

std::vector<SweptField> SweptFields() {
    std::vector<SweptField> fields;
    for (int slot = 1; slot <= 9; ++slot) {
        const std::string ordinal = kOrdinals[slot - 1];
        fields.push_back(
            {"UserNumber" + std::to_string(slot), kUserNumber1 + slot - 1,
             kSetUserNumber1 + slot - 1, kP2P, false, nullptr, 20,
             [slot](F& f, const Selections&) { return CheckUserNumber(f, slot); },
             [slot](const F& f) {
                 return "AT+OPENAT=711," + std::to_string(slot) + "," + UserNumber(f, slot) + ";";
             },
             "Set " + ordinal + " pre-stored phonenumber successfully!",
             "Set " + ordinal + " pre-stored phonenumber failed!"});
    }
    const auto sendText = [](const char* code, std::string F::*text) {
        return [code, text](const F& f) { return std::string("AT+OPENAT=") + code + "," + f.*text + ";"; };
    };
    fields.push_back({"CenterNumber", kCenterNumber, kSetCenterNumber, kP2S, false,
                      &F::centerNumber, 20,
                      [](F& f, const Selections&) { return CheckCenterNumber(f); },
                      sendText("710", &F::centerNumber), "Set center number successfully!",
                      "Set center number failed!"});
    fields.push_back(IntervalField("Interval", &F::intervalTime, kP2P));
    fields.push_back(IntervalField("IntervalPowerSaving", &F::intervalTime, kPowerSaving));
    fields.push_back(IntervalField("UploadCount", &F::uploadCount, kCustomGprs));
    fields.push_back(FenceField("FenceRadius", kFenceRadius, &F::fenceRadius, 5));
    fields.push_back(FenceField("FenceInterval", kFenceInterval, &F::fenceInterval, 2));
    fields.push_back(FenceField("Latitude", kLatitude, &F::latitude, 9));
    fields.push_back(FenceField("Longitude", kLongitude, &F::longitude, 10));
    fields.push_back({"UserId", kUserId, kSetUserId, kCustomGprs, false, &F::userId, 20,
                      [](F& f, const Selections&) { return CheckUserId(f); },
                      sendText("801", &F::userId), "Set user ID successfully!",
                      "Set user ID failed!"});
    fields.push_back({"UserPassword", kUserPassword, kSetUserPassword, kP2P, false,
                      &F::userPassword, 4,
                      [](F& f, const Selections&) { return CheckUserPassword(f); },
                      sendText("770", &F::userPassword), "Set user password successfully!",
                      "Set user password failed!"});
    return fields;
}

template <typename Form>  // F or const F
auto& FieldOf(Form& form, const SweptField& field) {
    return field.text != nullptr ? form.*field.text
                                 : UserNumber(form, field.edit - kUserNumber1 + 1);
}

// How a hostile value reaches the field.
enum class Entry { Typed, Pasted, Loaded };

struct HostileValue {
    Entry entry;
    std::string bytes;  // UTF-8 when typed or pasted, GBK when loaded
};

// Blanks around, signs, dots, printf directives, separators of the tracker's
// argument list, full-width digits, Chinese, characters GBK cannot encode
// (Thai, an emoji), and digits past every field's limit; each field's own
// boundaries are among them.
const std::vector<std::string> kTyped{
    "",          " 123",          "123 ",        "  5  ",        "+8613800138000", "+",
    "-5",        "1.5",           ".5",          "1..2",         "12.5.3",         "0",
    "59",        "60",            "100",         "65535",        "65536",          "9100",
    "9100.5",    "18100",         "18100.01",    "1e3",          "0x1F",           "%s%n%d",
    "a,b;c",     "１２３",        "一二三",      "12三",         "车载一号",       "ก123",
    "12😀",      std::string(30, '9')};

// A copied table cell or a line of a message carries line ends and tabs;
// escape sequences and the zero byte come from anywhere.
const std::vector<std::string> kPasted{"+8613800138000", "一二三",  "123\r\n", "12\n34",
                                       "\t1234",         "1\x01" "2", "\x1b[2J", "12\x7f"};

std::vector<std::string> Loaded(int maxLength) {
    return {std::string(static_cast<std::size_t>(maxLength) + 1, '1'),
            std::string(1000, '9'),
            GbkOf("一二三四五六七八九十一"),
            "\t123",
            "123\r\n",
            "12\n34",
            "1\x01" "2",
            "\x1b[2J",
            std::string("12\0" "34", 5),
            "\x81\x20",
            "\xFF\xFF\xFF"};
}

std::vector<HostileValue> HostileValues(const SweptField& field) {
    std::vector<HostileValue> values;
    for (const std::string& text : kTyped) {
        values.push_back({Entry::Typed, text});
    }
    for (const std::string& text : kPasted) {
        values.push_back({Entry::Pasted, text});
    }
    for (const std::string& bytes : Loaded(field.maxLength)) {
        values.push_back({Entry::Loaded, bytes});
    }
    return values;
}

bool HasControlCharacter(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
            return true;
        }
    }
    return false;
}

// The simulated tracker ends a command at a line feed and splits its
// arguments at commas: it refuses a command that arrives in pieces or a text
// argument that holds a comma.
bool TrackerTakes(const std::string& command, const std::string& textArgument) {
    return command.find('\n') == command.size() - 1 &&
           textArgument.find(',') == std::string::npos;
}

// The command lines the tracker receives for what was written: one per line
// feed, without the line end, empty lines skipped.
std::vector<std::string> LinesOf(const std::string& written) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = written.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = written.substr(start, end - start);
        if (line.ends_with('\r')) {
            line.pop_back();
        }
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

std::string Describe(const HostileValue& value) {
    static const char* const kEntries[] = {"typed", "pasted", "loaded"};
    return std::string(kEntries[static_cast<int>(value.entry)]) + " " +
           ::testing::PrintToString(value.bytes.substr(0, 40));
}

// What one press did: the messages shown, the bytes written, the command
// lines the tracker received and the status line.
struct Outcome {
    std::vector<std::string> messages;
    std::vector<std::string> writes;
    std::vector<std::string> received;
    std::string status;
    StatusMark mark = StatusMark::None;
};

// A woken tracker and the window, set up so that `field` and its button are
// usable and every other field its button checks holds a valid value.
class FieldBench {
public:
    explicit FieldBench(SweptField field) : field_(std::move(field)) {
        form_.show();
        ready_ = WakeUp(form_);
        Choose(form_, kWorkingModeList, field_.workingMode);
        if (field_.fence) {
            Press(form_, kFenceOpen);
            Choose(form_, kFenceTypeList, 1);
            const std::pair<int, const char*> valid[] = {{kFenceRadius, "500"},
                                                         {kFenceInterval, "10"},
                                                         {kLatitude, "2232.1234"},
                                                         {kLongitude, "11403.5678"}};
            for (const auto& [id, text] : valid) {
                SetControlText(*form_.Control(id), text);
            }
        }
        // The record holds what the controls show, as after any press.
        ready_ = ready_ && form_.Dialog().UpdateData(true);
        edit_ = qobject_cast<QLineEdit*>(form_.Control(field_.edit));
        ready_ = ready_ && edit_ != nullptr && edit_->isEnabled() &&
                 form_.Control(field_.button)->isEnabled();
    }

    bool Ready() const { return ready_; }
    TrackerWindow& Form() { return form_; }

    void Enter(const HostileValue& value) {
        edit_->clear();
        switch (value.entry) {
        case Entry::Typed:
            TypeKeys(edit_, QString::fromStdString(value.bytes));
            break;
        case Entry::Pasted:
            Paste(edit_, QString::fromStdString(value.bytes));
            break;
        case Entry::Loaded:
            FieldOf(form_.Dialog().Record(), field_) = value.bytes;
            form_.Dialog().Refresh();
            break;
        }
    }

    // The record as the press will save it: the window's record (the last
    // save) with the field as the edit holds it. A loaded field keeps its
    // exact bytes.
    F Saved(const HostileValue& value) {
        F saved = form_.Dialog().Record();
        const QString shown = edit_->text();
        if (value.entry == Entry::Loaded) {
            EXPECT_EQ(shown.toStdString(), GbkToUtf8(value.bytes)) << "a load shows the field";
            FieldOf(saved, field_) = value.bytes;
        } else {
            // Whatever the operator does, the edit holds only what GBK can
            // encode and no control character.
            const std::optional<std::string> gbk = Utf8ToGbk(shown.toStdString());
            EXPECT_TRUE(gbk.has_value());
            EXPECT_FALSE(HasControlCharacter(shown));
            FieldOf(saved, field_) = gbk.value_or("");
        }
        return saved;
    }

    Outcome PressButton() {
        const std::size_t messages = machine_.Refusals().size();
        const std::size_t writes = Port().Writes().size();
        const std::size_t received = sim_.Commands().size();
        Press(form_, field_.button);
        Outcome outcome;
        const std::vector<std::string> allMessages = machine_.Refusals();
        outcome.messages.assign(allMessages.begin() + static_cast<std::ptrdiff_t>(messages),
                                allMessages.end());
        const std::vector<WriteAttempt> allWrites = Port().Writes();
        for (std::size_t i = writes; i < allWrites.size(); ++i) {
            outcome.writes.push_back(allWrites[i].bytes);
        }
        const std::vector<std::string> allReceived = sim_.Commands();
        outcome.received.assign(allReceived.begin() + static_cast<std::ptrdiff_t>(received),
                                allReceived.end());
        outcome.status = StatusText(form_);
        outcome.mark = form_.Dialog().CurrentStatusMark();
        return outcome;
    }

private:
    RecordingPort& Port() { return *machine_.opened.at(0); }

    SweptField field_;
    test::SimProcess sim_;
    Machine machine_{{sim_.LinkPath()}};
    TrackerWindow form_{machine_.Services()};
    QLineEdit* edit_ = nullptr;
    bool ready_ = false;
};

class HostileInput : public ::testing::TestWithParam<SweptField> {};

TEST_P(HostileInput, IsRefusedOrSentExactlyByTheRules) {
    const SweptField& field = GetParam();
    FieldBench bench(field);
    ASSERT_TRUE(bench.Ready());
    int refused = 0;
    int sent = 0;
    for (const HostileValue& value : HostileValues(field)) {
        SCOPED_TRACE(field.name + ": " + Describe(value));
        bench.Enter(value);
        const F saved = bench.Saved(value);
        const std::string& fieldBytes = FieldOf(saved, field);
        std::optional<std::string> message;
        F checked = saved;
        if (fieldBytes.size() > static_cast<std::size_t>(field.maxLength)) {
            message = "Enter no more than " + std::to_string(field.maxLength) + " characters.";
        } else if (const Verdict verdict = field.check(checked, bench.Form().Dialog().CurrentSelections())) {
            message = std::string(Utf8In(MessageText(*verdict), kEnglish));
        }
        const std::string statusBefore = StatusText(bench.Form());
        const StatusMark markBefore = bench.Form().Dialog().CurrentStatusMark();

        const Outcome outcome = bench.PressButton();

        if (message) {
            ++refused;
            EXPECT_EQ(outcome.messages, std::vector<std::string>{*message});
            EXPECT_TRUE(outcome.writes.empty()) << "nothing is written";
            EXPECT_TRUE(outcome.received.empty()) << "the tracker receives nothing";
            EXPECT_EQ(outcome.status, statusBefore);
            EXPECT_EQ(outcome.mark, markBefore);
        } else {
            ++sent;
            const std::string command = field.command(saved) + "\r\n";
            EXPECT_TRUE(outcome.messages.empty());
            EXPECT_EQ(outcome.writes, std::vector<std::string>{command});
            EXPECT_EQ(outcome.received, LinesOf(command));
            const bool taken = TrackerTakes(command, fieldBytes);
            EXPECT_EQ(outcome.status, taken ? field.success : field.failure);
            EXPECT_EQ(StatusBackground(bench.Form()), taken ? kGreen : kRed);
        }
    }
    // The sweep exercises both outcomes for every field.
    EXPECT_GT(refused, 0);
    EXPECT_GT(sent, 0);
    std::printf("[ hostile  ] %-20s %3d refused, %3d sent\n", field.name.c_str(), refused, sent);
}

INSTANTIATE_TEST_SUITE_P(Faults, HostileInput, ::testing::ValuesIn(SweptFields()),
                         [](const ::testing::TestParamInfo<SweptField>& info) {
                             return info.param.name;
                         });

// A few outcomes written out by hand, so the sweep's reading of the rules is
// anchored to the rules themselves.
struct SpotCase {
    std::string field;
    HostileValue value;
    std::string message;  // empty when the command goes out
    std::string received;
};

TEST(HostileInputSpots, EndAsTheRulesSay) {
    const std::string tooLong = "Enter no more than 20 characters.";
    const SpotCase cases[] = {
        // The centre number is checked trimmed but sent as typed.
        {"CenterNumber", {Entry::Typed, " 123 "}, "", "AT+OPENAT=710, 123 ;"},
        {"UserNumber1", {Entry::Typed, " 123"}, "Input number is invalid!", ""},
        {"UserNumber4", {Entry::Typed, "１２３"}, "Input number is invalid!", ""},
        {"UserNumber9", {Entry::Typed, "+"}, "", "AT+OPENAT=711,9,+;"},
        {"CenterNumber", {Entry::Typed, "+1"}, "Center number is invalid!", ""},
        {"UserId", {Entry::Typed, "车载一号"}, "", "AT+OPENAT=801," + GbkOf("车载一号") + ";"},
        {"UserId", {Entry::Typed, "ก12"}, "User ID is invalid!", ""},
        {"UserId", {Entry::Pasted, "ID42\r\n"}, "", "AT+OPENAT=801,;"},
        {"UserId", {Entry::Loaded, std::string(21, '7')}, tooLong, ""},
        {"UserPassword", {Entry::Typed, " 123"}, "Password must be valid digit number!", ""},
        {"UserPassword", {Entry::Typed, "1二3"}, "Password must be valid digit number!", ""},
        {"UserPassword", {Entry::Typed, "12345"}, "", "AT+OPENAT=770,1234;"},
        {"Interval", {Entry::Typed, " 1.5"}, "", "AT+OPENAT=730,1,1;"},
        {"Interval", {Entry::Typed, "100"}, "Interval time is invalid!", ""},
        {"IntervalPowerSaving", {Entry::Typed, "65535"}, "", "AT+OPENAT=730,65535,1;"},
        {"UploadCount", {Entry::Typed, "7 "}, "", "AT+OPENAT=730,0,7;"},
        {"FenceInterval", {Entry::Typed, "60"}, "Fence interval time is invalid!", ""},
        {"FenceRadius", {Entry::Typed, ".5"}, "Fence radius is invalid!", ""},
        {"Latitude", {Entry::Typed, "9100.5"}, "Latitude is invalid!", ""},
        {"Longitude", {Entry::Typed, " 18100 "}, "",
         "AT+OPENAT=751,500,10,18100,E,2232.1234,N;"},
    };
    const std::vector<SweptField> fields = SweptFields();
    for (const SpotCase& c : cases) {
        SCOPED_TRACE(c.field + ": " + Describe(c.value));
        const auto field = std::find_if(fields.begin(), fields.end(),
                                        [&](const SweptField& f) { return f.name == c.field; });
        ASSERT_NE(field, fields.end());
        FieldBench bench(*field);
        ASSERT_TRUE(bench.Ready());
        bench.Enter(c.value);
        const Outcome outcome = bench.PressButton();
        if (c.message.empty()) {
            EXPECT_TRUE(outcome.messages.empty());
            EXPECT_EQ(outcome.received, std::vector<std::string>{c.received});
            EXPECT_EQ(outcome.status, field->success);
        } else {
            EXPECT_EQ(outcome.messages, std::vector<std::string>{c.message});
            EXPECT_TRUE(outcome.writes.empty());
            EXPECT_TRUE(outcome.received.empty());
        }
    }
}

}  // namespace
}  // namespace vorlen::testing
