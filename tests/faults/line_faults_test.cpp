// Faults on the line while the window talks to a tracker: the tracker dies in
// the middle of a sequence, floods the line, or answers with bytes that are
// not text. What the operator sees, and what went out on the line.
#include <cstdio>
#include <gtest/gtest.h>
#include <map>

#include "../window/rig.h"
#include "model/control_ids.h"

namespace vorlen::testing {
namespace {

// The second status line once the device has gone.
const std::string kGone =
    "The device is not there (any more). Plug the cable in, then pick the port again.";

const std::vector<std::string> kQueries{"AT+OPENAT=901,;", "AT+OPENAT=902,;", "AT+OPENAT=903,;"};

// The nineteen set-all commands for a form that holds only the password 1234.
const std::vector<std::string> kSetAllCommands{
    "AT+OPENAT=711,1,;", "AT+OPENAT=711,2,;", "AT+OPENAT=711,3,;", "AT+OPENAT=711,4,;",
    "AT+OPENAT=711,5,;", "AT+OPENAT=711,6,;", "AT+OPENAT=711,7,;", "AT+OPENAT=711,8,;",
    "AT+OPENAT=711,9,;", "AT+OPENAT=710,;",   "AT+OPENAT=70,0;",   "AT+OPENAT=720,0;",
    "AT+OPENAT=730,0,0;", "AT+OPENAT=760,;",  "AT+OPENAT=770,1234;", "AT+OPENAT=780,0;",
    "AT+OPENAT=801,;",   "AT+OPENAT=802,,,;", "AT+OPENAT=803,,;",
};

std::vector<std::string> Concat(std::vector<std::string> head, const std::vector<std::string>& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

std::vector<std::string> FirstOf(const std::vector<std::string>& commands, std::size_t count) {
    return {commands.begin(), commands.begin() + static_cast<std::ptrdiff_t>(count)};
}

// Where the cable is pulled: just before the command goes out, or once the
// tracker has received it and the window is waiting for an answer that the
// tracker was never going to give.
enum class PullCable { BeforeWrite, WhileWaitingForAnswer };

struct KilledCase {
    const char* name;
    int button;
    std::string code;  // the command at which the tracker dies
    PullCable when;
    std::vector<std::string> sequence;
    std::string failure;
    std::string keptImei;  // a read-back keeps what the answered queries filled in
};

void PrintTo(const KilledCase& c, std::ostream* out) { *out << c.name; }

class TrackerKilled : public ::testing::TestWithParam<KilledCase> {};

TEST_P(TrackerKilled, MidSequenceShowsTheFailureInRedAndSendsNothingMore) {
    const KilledCase& c = GetParam();
    const std::string prefix = "AT+OPENAT=" + c.code + ",";
    std::vector<std::string> options;
    if (c.when == PullCable::WhileWaitingForAnswer) {
        options = {"--reply", c.code + "="};  // received, never answered
    }
    Rig tracker(options);
    ASSERT_TRUE(WakeUp(tracker.form));
    SetControlText(*tracker.form.Control(kUserPassword), "1234");

    std::size_t step = 0;
    while (!c.sequence.at(step).starts_with(prefix)) {
        ++step;
    }
    test::SimProcess& sim = tracker.sim;
    if (c.when == PullCable::BeforeWrite) {
        tracker.Port().beforeWrite = [&](std::string_view command) {
            if (command.starts_with(prefix)) {
                sim.Kill();
            }
        };
    } else {
        tracker.Port().afterWrite = [&](std::string_view command) {
            if (command.starts_with(prefix)) {
                ASSERT_TRUE(sim.WaitForCommands(kWakeUpCommands.size() + step + 1, 2000ms));
                sim.Kill();
            }
        };
    }
    Press(tracker.form, c.button);

    // The far end of the terminal closed, as when a cable is pulled out.
    EXPECT_EQ(StatusText(tracker.form), c.failure + "\n" + kGone);
    EXPECT_EQ(tracker.form.Dialog().CurrentStatusMark(), StatusMark::Failure);
    EXPECT_EQ(StatusBackground(tracker.form), kRed);
    // The tracker got everything up to where it died; the window tried the
    // command it died at once and gave up there.
    const std::size_t received = c.when == PullCable::BeforeWrite ? step : step + 1;
    EXPECT_EQ(sim.Commands(), Concat(kWakeUpCommands, FirstOf(c.sequence, received)));
    EXPECT_EQ(WithoutLineEnds(tracker.Port().Writes()),
              Concat(kWakeUpCommands, FirstOf(c.sequence, step + 1)));
    EXPECT_TRUE(tracker.machine.Refusals().empty());
    EXPECT_EQ(Shown(tracker.form, kImei), c.keptImei);

    // The window carries on: the port has closed, so the next command fails
    // at once. (The simulator's factory password is longer than the form's
    // field, and a read-back brought it in; the operator puts a fitting one
    // in first.)
    EXPECT_EQ(tracker.form.Dialog().PortHandle().Current(), nullptr);
    const std::size_t writes = tracker.Port().Writes().size();
    SetControlText(*tracker.form.Control(kUserPassword), "1234");
    Press(tracker.form, kOpenGps);
    EXPECT_EQ(StatusText(tracker.form), "Open GPS power failed!");
    EXPECT_EQ(tracker.Port().Writes().size(), writes);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, TrackerKilled,
    ::testing::Values(
        KilledCase{"ReadBackBeforeQuery902", kReadConfig, "902", PullCable::BeforeWrite,
                   kQueries, "Read config failed!", "864507030000001"},
        KilledCase{"ReadBackWaitingFor903", kReadConfig, "903",
                   PullCable::WhileWaitingForAnswer, kQueries, "Read config failed!", "864507030000001"},
        KilledCase{"SetAllBeforeStep13", kSetAll, "730", PullCable::BeforeWrite,
                   kSetAllCommands, "Set interval time and count failed!", ""},
        KilledCase{"SetAllWaitingForStep15", kSetAll, "770", PullCable::WhileWaitingForAnswer,
                   kSetAllCommands, "Set user password failed!", ""}),
    [](const ::testing::TestParamInfo<KilledCase>& info) { return info.param.name; });

// A tracker that sends without end and never OK: each transaction stops once
// its reply buffer is full, and the memory the window uses stays put.
TEST(Flood, EveryCommandEndsInRedAndTheWakeUpKeepsTryingWithinBoundedMemory) {
    Rig tracker({"--flood"});
    // A flooding tracker never acknowledges the wake-up, so the area is
    // opened directly, as a wake-up that had succeeded before the flood would.
    tracker.form.Dialog().UnlockConfigArea();

    Press(tracker.form, kOpenGps);  // warm-up: the first reply buffer, the status text
    const long before = ResidentBytes();
    constexpr int kCommands = 6;
    for (int i = 0; i < kCommands; ++i) {
        Press(tracker.form, i % 2 == 0 ? kCloseGps : kOpenGps);
        EXPECT_EQ(tracker.form.Dialog().CurrentStatusMark(), StatusMark::Failure) << i;
        EXPECT_EQ(StatusBackground(tracker.form), kRed) << i;
    }
    const long growth = ResidentBytes() - before;
    std::printf("[ flood    ] %d flooded commands: resident memory %+ld kB\n", kCommands,
                growth / 1024);
    if (kResidentSetIsMeaningful) {
        EXPECT_LT(growth, 1L << 20);
    }
    EXPECT_EQ(StatusText(tracker.form), "Open GPS power failed!");
    // One write per press: nothing is retried.
    EXPECT_EQ(tracker.Port().Writes().size(), 1u + kCommands);
    EXPECT_EQ(tracker.sim.Commands().size(), 1u + kCommands);

    // The wake-up keeps trying against the flood, also within bounded memory.
    tracker.form.Dialog().LockConfigArea();
    Press(tracker.form, kWakeTracker);
    const std::size_t sent = 1 + kCommands;
    ASSERT_TRUE(WaitUntil([&] { return tracker.Port().Writes().size() >= sent + 2; }, 10s));
    const long wakeBefore = ResidentBytes();
    ASSERT_TRUE(WaitUntil([&] { return tracker.Port().Writes().size() >= sent + 6; }, 20s));
    const long wakeGrowth = ResidentBytes() - wakeBefore;
    std::printf("[ flood    ] 4 flooded wake-up attempts: resident memory %+ld kB\n",
                wakeGrowth / 1024);
    if (kResidentSetIsMeaningful) {
        EXPECT_LT(wakeGrowth, 1L << 20);
    }
    EXPECT_FALSE(Unlocked(tracker.form));
    const std::vector<std::string> writes = WithoutLineEnds(tracker.Port().Writes());
    for (std::size_t i = sent; i < writes.size(); ++i) {
        EXPECT_EQ(writes[i], kWakeUpCommands[0]);
    }
}

// A --reply option: the simulator answers `code` with exactly these bytes.
std::string CannedReply(const std::string& code, std::string_view bytes) {
    std::string option = code + "=";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && c != '\\') {
            option += c;
        } else {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            option += escape;
        }
    }
    return option;
}

std::string Ff(std::size_t count) { return std::string(count, '\xFF'); }

const std::string kOkLine = "\r\nOK\r\n";

// Replies whose bytes are not text.
struct BadBytesCase {
    const char* name;
    std::map<std::string, std::string> replies;  // command code -> answer bytes
    int button;
    std::string status;
    StatusMark mark;
    // Fields of the record and the exact bytes they hold afterwards.
    std::vector<std::pair<std::string TrackerForm::*, std::string>> stored;
    bool sendUserIdBack = false;
};

void PrintTo(const BadBytesCase& c, std::ostream* out) { *out << c.name; }

class BadReplyBytes : public ::testing::TestWithParam<BadBytesCase> {};

int ControlOf(std::string TrackerForm::*field) {
    for (const FieldSpec& row : ExchangeOrder()) {
        if (row.text == field) {
            return row.controlId;
        }
    }
    return -1;
}

TEST_P(BadReplyBytes, AreStoredAndShownWithoutACrash) {
    const BadBytesCase& c = GetParam();
    std::vector<std::string> options;
    for (const auto& [code, bytes] : c.replies) {
        options.insert(options.end(), {"--reply", CannedReply(code, bytes)});
    }
    Rig tracker(options);
    ASSERT_TRUE(WakeUp(tracker.form));
    tracker.form.Dialog().Record().userId = "unchanged";
    tracker.form.Dialog().Refresh();

    Press(tracker.form, c.button);

    EXPECT_EQ(StatusText(tracker.form), c.status);
    EXPECT_EQ(tracker.form.Dialog().CurrentStatusMark(), c.mark);
    EXPECT_EQ(StatusBackground(tracker.form), c.mark == StatusMark::Success ? kGreen : kRed);
    for (const auto& [field, bytes] : c.stored) {
        const int id = ControlOf(field);
        EXPECT_EQ(tracker.form.Dialog().Record().*field, bytes) << id;
        EXPECT_EQ(Shown(tracker.form, id), GbkToUtf8(bytes)) << id;
    }
    EXPECT_TRUE(tracker.machine.Refusals().empty());
    if (c.sendUserIdBack) {
        // Untouched, such bytes go back to the tracker exactly as they came.
        Choose(tracker.form, kWorkingModeList, 2);  // shows the user ID's group
        Press(tracker.form, kSetUserId);
        EXPECT_EQ(StatusText(tracker.form), "Set user ID successfully!");
        EXPECT_EQ(tracker.sim.Commands().back(),
                  "AT+OPENAT=801," + tracker.form.Dialog().Record().userId + ";");
    }
}

using F = TrackerForm;

INSTANTIATE_TEST_SUITE_P(
    Faults, BadReplyBytes,
    ::testing::Values(
        // A zero byte ends the reply text: the OK behind it is never seen,
        // and nothing of the reply reaches the form.
        BadBytesCase{"ZeroBytesBeforeTheOk",
                     {{"901", "\r\n@123#" + std::string(64, '\0') + "#456#" + kOkLine}},
                     kReadConfig, "Read config failed!", StatusMark::Failure,
                     {{&F::centerNumber, ""}, {&F::userId, "unchanged"}}},
        BadBytesCase{"ZeroBytesInTheImei",
                     {{"EGMR", "\r\n+EGMR: \"86" + std::string(64, '\0') + "\"" + kOkLine}},
                     kReadImei, "Read IMEI failed!", StatusMark::Failure,
                     {{&F::imei, ""}}},
        // Lead bytes without a valid trail byte, lone trail bytes, 0x80 and
        // 0xFF, which GBK never uses.
        BadBytesCase{"InvalidGbk",
                     {{"901", "\r\n@\x81\x20\x81#x#\x80\xA1\x20\xFE#\xA1#\x81#\x82\x30#1\xFF#" +
                                  kOkLine},
                      {"902", "\r\n@1#\xA1\xA1#\xFF#\x81#\x80#\xFE\xFE\xFE##\xA1##\x81\xFF#\xFF#"
                              "\x80#\xA1#" + kOkLine},
                      {"903", "\r\n@1\xFF#\x81#N#\xFE#E#\xFF#\x80#3#" + kOkLine}},
                     kReadConfig, "Read config success!", StatusMark::Success,
                     {{&F::centerNumber, "\x81\x20\x81"},
                      {&F::userId, "\x80\xA1\x20\xFE"},
                      {&F::userPassword, "\xA1"},
                      {&F::userNumber1, "\x81"},
                      {&F::userNumber2, "\x82\x30"},
                      {&F::userNumber3, "1\xFF"},
                      {&F::intervalTime, "\x81"},
                      {&F::uploadCount, "\x80"},
                      {&F::apn, "\xFE\xFE\xFE"},
                      {&F::apnPassword, "\xA1"},
                      {&F::serverPort, "\x81\xFF"},
                      {&F::softwareVersion, "V\x80 \xA1"},
                      {&F::latitude, "\x81"},
                      {&F::longitude, "\xFE"},
                      {&F::fenceRadius, "\xFF"},
                      {&F::fenceInterval, "\x80"}},
                     true},
        // Nothing but 0xFF: without an "@" the fields start at the first
        // byte, each cut at its limit (the byte after a cut is dropped).
        BadBytesCase{"OnlyFF",
                     {{"901", Ff(420) + kOkLine},
                      {"902", Ff(420) + kOkLine},
                      {"903", Ff(420) + kOkLine}},
                     kReadConfig, "Read config success!", StatusMark::Success,
                     {{&F::centerNumber, Ff(20)},
                      {&F::userId, Ff(20)},
                      {&F::userNumber9, Ff(20)},
                      {&F::imei, Ff(19)},
                      {&F::intervalTime, Ff(19)},
                      {&F::apn, Ff(100)},
                      {&F::apnUser, Ff(31)},
                      {&F::serverIp, Ff(25)},
                      {&F::softwareVersion, "V" + Ff(19) + " " + Ff(19)},
                      {&F::latitude, Ff(19)},
                      {&F::fenceInterval, Ff(19)}}},
        BadBytesCase{"FFInTheImei",
                     {{"EGMR", "\r\n+EGMR: \"" + Ff(30) + "\"" + kOkLine}},
                     kReadImei, "Read IMEI successfully!", StatusMark::Success,
                     {{&F::imei, Ff(19)}}}),
    [](const ::testing::TestParamInfo<BadBytesCase>& info) { return info.param.name; });

}  // namespace
}  // namespace vorlen::testing
