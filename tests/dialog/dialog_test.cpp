// The form's behaviour without a toolkit: TrackerConfigDialog against a
// recording window and scripted lines.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <thread>

#include "../core/fakes.h"
#include "dialog/dialog_layout.h"
#include "dialog/start_options.h"
#include "dialog/system_command.h"
#include "dialog/window_placement.h"
#include "dialog/tracker_config_dialog.h"
#include "model/bilingual.h"
#include "model/control_ids.h"
#include "model/gbk.h"
#include "protocol/readback.h"
#include "recording_window.h"

namespace vorlen::testing {
namespace {

using namespace std::chrono_literals;
using namespace control;
using Clock = std::chrono::steady_clock;

// A line that takes nothing: a write waits for room until its time-out, or
// until its stop is requested, like a USB adapter whose buffer never drains.
class StuckLine : public Port {
public:
    std::size_t Write(std::string_view, std::stop_token stop) override {
        ++writes;
        StoppablePause(stop)(2s);
        return 0;
    }
    std::size_t Read(char*, std::size_t) override { return 0; }
    void Close() override {}

    std::atomic<int> writes = 0;
};

struct Bench {
    explicit Bench(std::vector<std::string> names = {"/dev/ttyUSB0", "/dev/ttyUSB1"},
                   StartOptions asked = {}, std::string failingPort = "")
        : portNames(std::move(names)), start(std::move(asked)), failing(std::move(failingPort)) {
        dialog.StartUp();
    }

    TrackerConfigServices Services() {
        TrackerConfigServices services;
        services.enumeratePorts = [this](PortList& ports) {
            for (const std::string& name : portNames) {
                ports.push_back({name, name, name, 0, name});
            }
        };
        services.openPort = [this](const std::string& name, OpenFailure* why) -> std::shared_ptr<Port> {
            opened.push_back(name);
            if (name == failing) {
                *why = {OpenFailureKind::InUse, "Device or resource busy", ""};
                return nullptr;
            }
            return line;
        };
        services.start = start;
        return services;
    }

    std::string Status() const { return window.Text(kStatusBox); }

    std::vector<std::string> portNames;
    StartOptions start;
    std::string failing;
    std::vector<std::string> opened;
    std::shared_ptr<Port> line =
        std::make_shared<ScriptedTracker>([](const std::string&) { return "OK"; });
    RecordingWindow window;
    TrackerConfigDialog dialog{Services(), window};
};

TEST(Dialog, StartsInEnglishLockedAndOnTheFirstPort) {
    Bench bench;
    const RecordingWindow& window = bench.window;
    EXPECT_EQ(window.lists.at(kPortList), bench.portNames);
    EXPECT_EQ(window.SelectedEntry(kPortList), 0);
    EXPECT_EQ(window.SelectedEntry(kLanguageList), kEnglish);
    EXPECT_EQ(window.Text(kSetAll), "Set ALL");
    EXPECT_EQ(bench.opened, std::vector<std::string>{"/dev/ttyUSB0"});
    EXPECT_EQ(bench.Status(), "Init and Open /dev/ttyUSB0 Success!");
    EXPECT_EQ(window.mark, StatusMark::Success);
    for (const int usable : {kPortList, kLanguageList, kStatusBox, kWakeTracker}) {
        EXPECT_TRUE(window.Enabled(usable)) << usable;
    }
    for (const int locked : {kSetAll, kReadConfig, kUserNumber1, kFenceOpen}) {
        EXPECT_FALSE(window.Enabled(locked)) << locked;
    }
}

TEST(Dialog, AFailedOpenIsRedAndAPortChangeStartsOverLocked) {
    Bench bench;
    bench.dialog.UnlockConfigArea();
    bench.failing = "/dev/ttyUSB1";
    bench.window.Choose(kPortList, 1);
    bench.dialog.OnPortChanged();
    EXPECT_EQ(bench.Status(),
              "Open /dev/ttyUSB1 Failed!\n"
              "Another program is using this port. Close that program, then pick the port again.");
    EXPECT_EQ(bench.window.mark, StatusMark::Failure);
    EXPECT_EQ(bench.dialog.PortHandle().Current(), nullptr);
    EXPECT_FALSE(bench.window.Enabled(kSetAll));
}

// A cable plugged in or pulled out while the form is open.
TEST(Dialog, OpeningThePortListListsThePortsAfreshAndKeepsThePick) {
    Bench bench;
    bench.window.Choose(kPortList, 1);
    bench.dialog.OnPortChanged();
    const struct {
        std::vector<std::string> ports;
        int selected;
    } steps[] = {
        {{"/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyUSB1"}, 2},
        {{"/dev/ttyUSB1"}, 0},
        {{"/dev/ttyUSB0"}, -1},
        {{"/dev/ttyUSB0", "/dev/ttyUSB2"}, -1},
    };
    for (const auto& step : steps) {
        bench.portNames = step.ports;
        bench.dialog.OnPortListOpening();
        EXPECT_EQ(bench.window.lists.at(kPortList), step.ports);
        EXPECT_EQ(bench.window.SelectedEntry(kPortList), step.selected);
    }
    EXPECT_EQ(bench.opened, (std::vector<std::string>{"/dev/ttyUSB0", "/dev/ttyUSB1"}))
        << "nothing opened without a pick";
    EXPECT_NE(bench.dialog.PortHandle().Current(), nullptr) << "nor closed";
}

// Every list's opening reaches the form, whether it shows tips or not; the
// form lists only the ports afresh. Another list refilled on opening would
// lose the operator's pick.
TEST(Dialog, OnlyThePortListTakesItsEntriesAfreshWhenItOpens) {
    Bench bench;
    for (const DialogControl& row : DialogLayout()) {
        if (row.kind != ControlKind::DropDownList) {
            continue;
        }
        bench.portNames.push_back("/dev/ttyACM" + std::to_string(row.id));  // plugged in meanwhile
        bench.window.Choose(row.id, static_cast<int>(bench.window.lists[row.id].size()) - 1);
        const auto lists = bench.window.lists;
        const auto picks = bench.window.selected;
        bench.dialog.OnListOpening(row.id);
        if (row.id == kPortList) {
            EXPECT_EQ(bench.window.lists.at(kPortList), bench.portNames);
        } else {
            EXPECT_EQ(bench.window.lists, lists) << row.id;
            EXPECT_EQ(bench.window.selected, picks) << row.id;
        }
    }
}

// A read-back may leave bytes that are not GBK, which the edit shows as
// U+FFFD. While the operator leaves the edit as it was, a save takes back
// the very bytes it was given; once changed, what the edit shows.
TEST(Dialog, AnEditLeftAsItWasSavesTheBytesItWasGiven) {
    const std::string chinese = GbkOf("中国移动");
    const struct {
        const char* what;
        const char* givenBefore;  // an earlier load, or null
        std::string given;        // the record's bytes, shown by a load
        const char* typed;        // what the operator leaves in the edit, or null
        std::string saved;
    } cases[] = {
        {"bytes that are not GBK, untouched", nullptr, "\x81\x20\xFF", nullptr, "\x81\x20\xFF"},
        {"Chinese, untouched", nullptr, chinese, nullptr, chinese},
        {"typed over", nullptr, "\x81\x20\xFF", "cmnet", "cmnet"},
        {"changed beside a U+FFFD", nullptr, "\xFF", "\xEF\xBF\xBDx", "?x"},
        {"changed and typed back", nullptr, "\xFF", "\xEF\xBF\xBD", "\xFF"},
        {"an earlier load's bytes", "\xFF", "abc", "\xEF\xBF\xBD", "?"},
    };
    for (const auto& c : cases) {
        Bench bench;
        for (const char* given : {c.givenBefore, c.given.c_str()}) {
            if (given != nullptr) {
                bench.dialog.Record().apn = given;
                bench.dialog.Refresh();
            }
        }
        EXPECT_EQ(bench.window.Text(kApn), GbkToUtf8(c.given)) << c.what;
        if (c.typed != nullptr) {
            bench.window.Type(kApn, c.typed);
        }
        ASSERT_TRUE(bench.dialog.UpdateData(true)) << c.what;
        EXPECT_EQ(bench.dialog.Record().apn, c.saved) << c.what;
    }
}

// Group membership comes from the layout, so every toolkit gets the same.
TEST(Dialog, TheWorkingModeEnablesItsGroupsFromTheLayout) {
    const struct {
        int mode;
        bool centre, gprs;
    } cases[] = {{0, false, false}, {1, true, false}, {2, false, true}, {3, false, true},
                 {4, false, true}};
    for (const auto& c : cases) {
        Bench bench;
        bench.window.Choose(kWorkingModeList, c.mode);
        bench.dialog.UnlockConfigArea();
        EXPECT_EQ(bench.window.Enabled(kCenterNumber), c.centre) << c.mode;
        for (const int id : {kServerIp, kApn, kUserId, kSetIpAndPort}) {
            EXPECT_EQ(bench.window.Enabled(id), c.gprs) << c.mode << " " << id;
        }
        EXPECT_TRUE(bench.window.Enabled(kUserNumber1)) << c.mode;
    }
    Bench bench;
    EXPECT_EQ(bench.dialog.EnableGroupChildren(kSetAll, true), 0) << "not a group box";
    EXPECT_EQ(bench.dialog.EnableGroupChildren(kCenterGroup, true), 3);
}

// A read-back shows only the replies it got; the working mode's groups and
// the fence's parameters follow what was read, by the same rules as the
// operator's choices. Kinds without a rule leave the parameters as they were.
TEST(Dialog, AReadingShowsWhatWasAnsweredAndEnablesByTheFenceKind) {
    Bench partial;
    partial.dialog.UnlockConfigArea();
    TrackerReading numbersOnly;
    numbersOnly.answered = 1;
    numbersOnly.selections.workingMode = kModeP2S;
    partial.dialog.ShowReading(numbersOnly);
    EXPECT_EQ(partial.window.SelectedEntry(kWorkingModeList), kModeP2P);
    TrackerReading system = numbersOnly;
    system.answered = 2;
    partial.dialog.ShowReading(system);
    EXPECT_TRUE(partial.window.Enabled(kCenterNumber));
    EXPECT_FALSE(partial.window.Enabled(kServerIp));

    // Fence type, radius, interval, longitude, latitude, N/S, E/W.
    const std::vector<int> controls{kFenceTypeList, kFenceRadius,    kFenceInterval, kLongitude,
                                    kLatitude,      kNorthSouthList, kEastWestList};
    const std::vector<bool> before{false, true, false, true, false, true, false};
    const struct {
        int fenceSwitch, kind, fenceType;
        std::vector<bool> enabled;
    } cases[] = {
        {1, 3, 1, {true, true, true, true, true, true, true}},
        {1, 2, 0, {true, true, true, false, false, false, false}},
        {1, 1, 0, {true, false, false, false, false, false, false}},
        {1, 5, -1, {true, true, false, true, false, true, false}},
        {9, 0, 0, {true, true, false, true, false, true, false}},
        {0, 3, -1, {false, false, false, false, false, false, false}},
    };
    for (const auto& c : cases) {
        Bench bench;
        bench.window.Choose(kFenceTypeList, kCustomFence);
        for (std::size_t i = 0; i < controls.size(); ++i) {
            bench.window.Enable(controls[i], before[i]);
        }
        TrackerReading reading;
        reading.answered = kReadBackQueries;
        reading.selections.fenceType = c.fenceType;
        reading.fenceKind = c.kind;
        reading.form.fenceEnabled = c.fenceSwitch;
        bench.dialog.ShowReading(reading);
        // A fence that is off leaves the list's entry alone.
        const int shownType = c.fenceSwitch == 0 ? kCustomFence : c.fenceType;
        EXPECT_EQ(bench.window.SelectedEntry(kFenceTypeList), shownType) << c.kind;
        for (std::size_t i = 0; i < controls.size(); ++i) {
            EXPECT_EQ(bench.window.Enabled(controls[i]), c.enabled[i]) << c.kind << " @" << controls[i];
        }
    }
}

// The status box keeps the last outcome across a switch, so the operator
// still sees how the last action went.
TEST(Dialog, TheLanguageSwitchRefillsTheListsClearsTheFenceAndKeepsTheStatus) {
    Bench bench;
    bench.dialog.UnlockConfigArea();
    bench.window.SetChecked(kFenceOpen, true);
    bench.dialog.OnFenceOpenClicked();
    bench.window.Choose(kLanguageList, kChinese);
    bench.dialog.OnLanguageChanged();
    EXPECT_EQ(bench.window.Text(kSetAll), "设置所有");
    EXPECT_EQ(bench.Status(), "Init and Open /dev/ttyUSB0 Success!");
    EXPECT_EQ(bench.window.mark, StatusMark::Success);
    EXPECT_FALSE(bench.window.IsChecked(kFenceOpen));
    EXPECT_FALSE(bench.window.Enabled(kFenceTypeList));
    EXPECT_EQ(bench.window.SelectedEntry(kWorkingModeList), 0);
}

// A list that fell back to its first entry on a switch would leave the GPRS
// groups enabled under P2P, and the next Set sends P2P to the tracker.
TEST(Dialog, TheLanguageSwitchKeepsEachListsChoiceAndWhatIsSent) {
    for (const int language : {kChinese, kEnglish}) {
        Bench bench;
        bench.dialog.UnlockConfigArea();
        const std::pair<int, int> chosen[] = {
            {kWorkingModeList, kModeLongGprs}, {kWarningTypeList, 2}, {kFenceTypeList, kCustomFence}};
        for (const auto& [list, entry] : chosen) {
            bench.window.Choose(list, entry);
        }
        bench.dialog.OnWorkingModeChanged();
        bench.window.Choose(kLanguageList, kChinese);
        bench.dialog.OnLanguageChanged();
        bench.window.Choose(kLanguageList, language);
        bench.dialog.OnLanguageChanged();
        for (const auto& [list, entry] : chosen) {
            EXPECT_EQ(bench.window.SelectedEntry(list), entry) << list << " in " << language;
        }
        EXPECT_TRUE(bench.window.Enabled(kServerIp));
        bench.dialog.OnButtonClicked(kSetSystemMode);
        EXPECT_EQ(static_cast<ScriptedTracker&>(*bench.line).written.back(), "AT+OPENAT=70,3;\r\n");
    }
}

// vorlen --port PORT --language zh: the port asked for is opened, listed
// even when discovery does not find it (a link, a pseudo-terminal), and
// stays listed when the list is read afresh. One that does not open is
// reported; no other port is opened in its place.
TEST(Dialog, ThePortAndLanguageAskedForAtStartAreTheOnesUsed) {
    const struct {
        StartOptions asked;
        std::vector<std::string> listed;
        int selected;
        const char* status;
    } cases[] = {
        {{"/dev/ttyUSB1", kEnglish}, {"/dev/ttyUSB0", "/dev/ttyUSB1"}, 1,
         "Init and Open /dev/ttyUSB1 Success!"},
        {{"/tmp/ttyVorlen", kEnglish}, {"/dev/ttyUSB0", "/dev/ttyUSB1", "/tmp/ttyVorlen"}, 2,
         "Init and Open /tmp/ttyVorlen Success!"},
        {{"/dev/ttyGone", kEnglish}, {"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyGone"}, 2,
         "Open /dev/ttyGone Failed!\n"},
        {{std::nullopt, kChinese}, {"/dev/ttyUSB0", "/dev/ttyUSB1"}, 0,
         "初始化并打开/dev/ttyUSB0成功!"},
    };
    for (const auto& c : cases) {
        Bench bench({"/dev/ttyUSB0", "/dev/ttyUSB1"}, c.asked, "/dev/ttyGone");
        EXPECT_EQ(bench.opened, std::vector<std::string>{c.listed[static_cast<std::size_t>(c.selected)]});
        EXPECT_TRUE(bench.Status().starts_with(c.status)) << bench.Status();
        EXPECT_EQ(bench.dialog.Language(), c.asked.language);
        EXPECT_EQ(bench.window.Text(kSetAll),
                  c.asked.language == kChinese ? "设置所有" : "Set ALL");
        bench.dialog.OnPortListOpening();
        EXPECT_EQ(bench.window.lists.at(kPortList), c.listed);
        EXPECT_EQ(bench.window.SelectedEntry(kPortList), c.selected);
    }
}

TEST(Dialog, TheCommandLineIsReadAndWhatIsNotUnderstoodIsToldInOneLineEach) {
    const auto exists = [](const std::string& port) { return port != "/dev/ttyGone"; };
    const struct {
        std::vector<std::string> arguments;
        std::optional<std::string> port;
        int language;
        std::optional<int> exitCode;
        const char* text;  // what the text holds; "" when it must be empty
    } cases[] = {
        {{}, std::nullopt, kEnglish, std::nullopt, ""},
        {{"--port", "COM3", "--language", "zh"}, "COM3", kChinese, std::nullopt, ""},
        {{"--port=/tmp/ttyVorlen"}, "/tmp/ttyVorlen", kEnglish, std::nullopt, ""},
        {{"--port", "/dev/ttyGone"}, "/dev/ttyGone", kEnglish, std::nullopt,
         "vorlen: there is no port /dev/ttyGone; pick the port from the list"},
        {{"--speed", "9600", "--language", "zh"}, std::nullopt, kChinese, std::nullopt,
         "vorlen: did not understand --speed 9600 (see vorlen --help)"},
        {{"--language", "fr", "--port", "COM3"}, "COM3", kEnglish, std::nullopt,
         "vorlen: --language takes en or zh, not fr; starting in English"},
        {{"--port"}, std::nullopt, kEnglish, std::nullopt, "--port"},
        {{"--help"}, std::nullopt, kEnglish, 0, "--port PORT"},
        {{"--version"}, std::nullopt, kEnglish, 0, "vorlen 1.04"},
    };
    for (const auto& c : cases) {
        const StartCommandLine line = ReadStartCommandLine(c.arguments, exists);
        const std::string shown = c.arguments.empty() ? "" : c.arguments.front();
        EXPECT_EQ(line.options.port, c.port) << shown;
        EXPECT_EQ(line.options.language, c.language) << shown;
        EXPECT_EQ(line.exitCode, c.exitCode) << shown;
        if (*c.text == '\0') {
            EXPECT_EQ(line.text, "") << shown;
        } else {
            EXPECT_NE(line.text.find(c.text), std::string::npos) << shown << ": " << line.text;
        }
        if (!c.exitCode) {
            EXPECT_EQ(line.text.find('\n'), std::string::npos) << "one line: " << line.text;
        }
    }
}

// Screen pixels: a form 700 wide, a monitor 640 x 360.
TEST(Dialog, TheLineMonitorOpensBesideTheFormOnItsScreen) {
    const Rect screen{0, 0, 1920, 1040};
    const struct {
        Rect form;
        Rect expected;
    } cases[] = {
        {{100, 50, 700, 530}, {800, 50, 640, 360}},      // room on the right
        {{1200, 50, 700, 530}, {560, 50, 640, 360}},     // only on the left
        {{500, 900, 700, 530}, {1200, 680, 640, 360}},   // kept above the bottom
        {{-300, 50, 700, 530}, {400, 50, 640, 360}},     // partly off the left edge
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BesideForm(c.form, 640, 360, screen), c.expected) << c.form.x;
    }
    // No room on either side of a wide form: against the roomier edge.
    EXPECT_EQ(BesideForm({200, 0, 1500, 900}, 640, 360, screen), (Rect{1280, 0, 640, 360}));
    EXPECT_EQ(BesideForm({100, 0, 1500, 900}, 640, 360, {0, 0, 1280, 1024}).x, 0);
}

// Both side windows go beside the form at their first showing only: one
// the operator moved stays where he put it, and none is made twice.
TEST(Dialog, ASideWindowIsPlacedBesideTheFormOnceAndKeepsWhereTheOperatorMovedIt) {
    const struct {
        const char* what;
        unsigned command;
        RecordingSideWindow RecordingWindow::*window;
    } cases[] = {
        {"line monitor", kLineMonitorCommand, &RecordingWindow::lineMonitor},
        {"station", kFleetStationCommand, &RecordingWindow::station},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bench bench;
        RecordingSideWindow& side = bench.window.*c.window;
        bench.dialog.OnSystemCommand(c.command);
        EXPECT_EQ(side.frame, BesideForm(bench.window.frame, 640, 360, bench.window.screen));
        EXPECT_EQ(side.frame.x, bench.window.frame.Right());
        side.frame.x = 10;  // the operator drags it away
        bench.window.frame.x = 900;
        bench.dialog.OnSystemCommand(c.command);
        EXPECT_EQ(side.frame.x, 10);
        EXPECT_EQ(side.made, 1);
        EXPECT_EQ(side.moves, 1);
        EXPECT_EQ(side.shown, 2);
    }
}

// A language switch reaches every side window made so far at once, shown
// or hidden, not only at its next showing; one not yet made speaks the
// form's language when it comes.
TEST(Dialog, TheSideWindowsFollowTheFormsLanguageLive) {
    Bench bench;
    bench.dialog.OnSystemCommand(kLineMonitorCommand);
    EXPECT_EQ(bench.window.lineMonitor.language, kEnglish);
    bench.window.Choose(kLanguageList, kChinese);
    bench.dialog.OnLanguageChanged();
    EXPECT_EQ(bench.window.lineMonitor.language, kChinese);
    EXPECT_EQ(bench.window.station.made, 0);
    bench.dialog.OnSystemCommand(kFleetStationCommand);
    EXPECT_EQ(bench.window.station.language, kChinese);
    bench.window.Choose(kLanguageList, kEnglish);
    bench.dialog.OnLanguageChanged();
    EXPECT_EQ(bench.window.lineMonitor.language, kEnglish);
    EXPECT_EQ(bench.window.station.language, kEnglish);
    EXPECT_EQ(bench.window.lineMonitor.shown + bench.window.station.shown, 2);
}

TEST(Dialog, AnOverLongFieldStopsTheActionWithTheFocusOnIt) {
    Bench bench;
    bench.dialog.UnlockConfigArea();
    bench.window.Type(kUserPassword, "123456");
    bench.dialog.OnButtonClicked(kOpenGps);
    ASSERT_EQ(bench.window.messages.size(), 1u);
    EXPECT_EQ(bench.window.messages[0].text, "Enter no more than 4 characters.");
    EXPECT_EQ(bench.window.focused, kUserPassword);
    EXPECT_TRUE(static_cast<ScriptedTracker&>(*bench.line).written.empty());
}

TEST(Dialog, TheLineRecordHoldsTheFormsTrafficAndTheMonitorOpensOnItsItem) {
    Bench bench;
    bench.dialog.UnlockConfigArea();
    bench.dialog.OnButtonClicked(kOpenGps);
    const std::vector<LineEntry> entries = bench.dialog.Line().Since(0);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].direction, LineDirection::Written);
    EXPECT_EQ(entries[0].bytes, "AT+OPENAT=221,;\r\n");
    EXPECT_EQ(entries[1].direction, LineDirection::Received);
    EXPECT_EQ(entries[1].bytes, "OK");
    bench.dialog.OnSystemCommand(kLineMonitorCommand);
    EXPECT_EQ(bench.window.lineMonitor.shown, 1);
    EXPECT_EQ(bench.window.monitorRecord, &bench.dialog.Line());
    EXPECT_EQ(bench.window.menuTexts.at(kLineMonitorCommand), "Line &Monitor...");
}

// The station must know the form's port so that it never takes it; a port
// the form closed or failed to open is no longer the form's.
TEST(Dialog, TheStationOpensOnItsItemAndKnowsTheFormsPort) {
    Bench bench;
    EXPECT_EQ(bench.dialog.PortInUse(), "/dev/ttyUSB0");
    bench.dialog.OnSystemCommand(kFleetStationCommand);
    EXPECT_EQ(bench.window.station.shown, 1);
    const auto formPort = bench.window.stationServices.formPort;
    ASSERT_TRUE(formPort);
    EXPECT_EQ(formPort(), "/dev/ttyUSB0");
    bench.dialog.OnClose();
    EXPECT_EQ(bench.dialog.PortInUse(), "");
    EXPECT_EQ(formPort(), "");
    Bench refused({"/dev/ttyUSB0"}, {}, "/dev/ttyUSB0");
    EXPECT_EQ(refused.dialog.PortInUse(), "");
}

TEST(Dialog, ACommandShowsBusyWhileTheTrackerIsAsked) {
    Bench bench;
    bench.dialog.UnlockConfigArea();
    bench.dialog.OnButtonClicked(kOpenGps);
    EXPECT_EQ(static_cast<ScriptedTracker&>(*bench.line).written,
              std::vector<std::string>{"AT+OPENAT=221,;\r\n"});
    EXPECT_EQ(bench.window.busyChanges, (std::vector<bool>{true, false}));
    EXPECT_EQ(bench.Status(), "Open GPS power successfully!");
}

// The adapter pulled out during a command: the port closes at once and the
// failure line gets the reason, whichever action found it.
TEST(Dialog, AGoneDeviceClosesThePortAndSaysSoUnderTheFailureLine) {
    for (const auto& [button, failure] : {std::pair{kOpenGps, "Open GPS power failed!"},
                                          std::pair{kReadConfig, "Read config failed!"}}) {
        Bench bench;
        bench.dialog.UnlockConfigArea();
        auto& line = static_cast<ScriptedTracker&>(*bench.line);
        line.writeFails = line.gone = true;
        bench.dialog.OnButtonClicked(button);
        EXPECT_EQ(bench.Status(), std::string(failure) +
                                      "\nThe device is not there (any more). Plug the cable "
                                      "in, then pick the port again.");
        EXPECT_EQ(bench.window.mark, StatusMark::Failure);
        EXPECT_EQ(bench.dialog.PortHandle().Current(), nullptr);
        const std::size_t writes = line.written.size();
        bench.dialog.OnButtonClicked(kOpenGps);
        EXPECT_EQ(line.written.size(), writes) << "nothing more goes to the gone device";
        EXPECT_EQ(bench.Status(), "Open GPS power failed!");
    }
}

// The adapter pulled out while the wake-up runs: a silent status box and a
// worker writing on into the closed port were the fault. The wake-up going on
// on the port picked again is the fault tests' (Unplugged).
TEST(Dialog, AGoneDeviceDuringTheWakeUpIsSaidInRedAndGetsNothingMore) {
    const std::pair<int, const char*> cases[] = {
        {kEnglish, "The port went away: plug the adapter back in and pick the port again."},
        {kChinese, "端口已断开：请重新插上适配器，然后重新选择端口。"}};
    for (const auto& [language, said] : cases) {
        Bench bench;
        bench.window.Choose(kLanguageList, language);
        bench.dialog.OnLanguageChanged();
        auto& pulled = static_cast<ScriptedTracker&>(*bench.line);
        pulled.writeFails = pulled.gone = true;
        bench.dialog.OnButtonClicked(kWakeTracker);
        const auto deadline = Clock::now() + 3s;
        while (bench.dialog.PortHandle().Current() != nullptr && Clock::now() < deadline) {
            bench.window.RunQueued();
            std::this_thread::sleep_for(20ms);
        }
        EXPECT_EQ(bench.Status(), said);
        EXPECT_EQ(bench.window.mark, StatusMark::Failure);
        EXPECT_TRUE(pulled.written.empty()) << "nothing goes to the gone device";
    }
}

// The Windows form is made in this state, so its start-up writes nothing:
// what the form says of its start must be what the start-up does.
TEST(Dialog, TheStartUpStateIsWhatPreparingTheFormLeaves) {
    Bench bench;
    for (const DialogControl& row : DialogLayout()) {
        if (row.id == kNoControlId) {
            continue;
        }
        EXPECT_EQ(bench.window.Enabled(row.id), !TrackerConfigDialog::LockedAtStart(row.id))
            << row.id;
        const std::string caption = TrackerConfigDialog::CaptionAtStart(row.id);
        if (!caption.empty()) {
            EXPECT_EQ(bench.window.Text(row.id), caption) << row.id;
        }
    }
}

TEST(Dialog, TheUnlockComesOnTheWindowsThreadAndOnlyFromTheCurrentWorker) {
    Bench bench;
    bench.window.answer = MessageAnswer::Cancel;
    bench.dialog.OnButtonClicked(kWakeTracker);
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(bench.window.RunQueued(), 0) << "Cancel starts nothing";

    bench.window.answer = MessageAnswer::Ok;
    bench.dialog.OnButtonClicked(kWakeTracker);
    const auto deadline = Clock::now() + 3s;
    while (bench.window.RunQueued() == 0 && Clock::now() < deadline) {
        EXPECT_FALSE(bench.window.Enabled(kSetAll)) << "unlocked off the window's thread";
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_TRUE(bench.window.Enabled(kSetAll));

    // A second press replaces the worker and locks the area while it runs;
    // the first one's late unlock is dropped, whatever the new one is doing.
    bench.dialog.OnButtonClicked(kWakeTracker);
    EXPECT_FALSE(bench.window.Enabled(kSetAll)) << "the form's commands would share the line";
    EXPECT_TRUE(bench.window.Enabled(kWakeTracker));
    std::this_thread::sleep_for(400ms);  // the first worker has asked to unlock
    bench.line = std::make_shared<StuckLine>();
    bench.dialog.OnPortChanged();
    bench.dialog.OnButtonClicked(kWakeTracker);
    EXPECT_GE(bench.window.RunQueued(), 1);
    EXPECT_FALSE(bench.window.Enabled(kSetAll));
}

// A second confirmed press while the worker's write hangs on a line that
// does not drain: the press returns at once and the old write is given up.
TEST(Dialog, ASecondWakeUpPressInterruptsAWriteThatHangs) {
    Bench bench;
    auto stuck = std::make_shared<StuckLine>();
    bench.line = stuck;
    bench.dialog.OnPortChanged();
    bench.dialog.OnButtonClicked(kWakeTracker);
    while (stuck->writes == 0) {
        std::this_thread::sleep_for(5ms);
    }
    const auto start = Clock::now();
    bench.dialog.OnButtonClicked(kWakeTracker);
    EXPECT_LT(Clock::now() - start, 200ms);
    const auto closing = Clock::now();
    bench.dialog.OnClose();
    EXPECT_LT(Clock::now() - closing, 200ms);
}

// The operator's file: a temporary folder of the test's own.
struct ProfileFolder {
    ProfileFolder() {
        path = std::filesystem::temp_directory_path() /
               ("vorlen-profile-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(path);
    }
    ~ProfileFolder() { std::filesystem::remove_all(path); }
    std::filesystem::path path;
};

TEST(Dialog, AProfileSavedFromOneFormLoadsIntoAnotherUnchanged) {
    ProfileFolder folder;
    Bench first;
    first.dialog.UnlockConfigArea();
    first.window.Type(kApn, "中国移动");
    first.window.Type(kUserPassword, "1234");
    first.window.Type(kLatitude, "2232.1234");
    first.window.Choose(kWorkingModeList, 3);
    first.window.Choose(kFenceTypeList, 1);
    first.window.SetChecked(kFenceOpen, true);
    first.window.profilePath = folder.path / "fleet.toml";
    first.dialog.OnSystemCommand(kSaveProfileCommand);
    ASSERT_TRUE(first.window.messages.empty()) << first.window.messages[0].text;
    EXPECT_EQ(first.Status(), "Profile saved to " + first.window.profilePath->string());

    Bench second;
    second.dialog.UnlockConfigArea();
    second.window.Choose(kLanguageList, kChinese);
    second.dialog.OnLanguageChanged();
    second.window.Type(kImei, "354660000000001");
    second.window.profilePath = first.window.profilePath;
    second.dialog.OnSystemCommand(kLoadProfileCommand);
    EXPECT_TRUE(second.window.messages.empty());
    EXPECT_EQ(second.Status(), "已从 " + first.window.profilePath->string() + " 载入配置文件");
    for (const int id : {kApn, kUserPassword, kLatitude}) {
        EXPECT_EQ(second.window.Text(id), first.window.Text(id)) << id;
    }
    EXPECT_EQ(second.window.Text(kImei), "354660000000001") << "not in a profile";
    EXPECT_EQ(second.window.SelectedEntry(kWorkingModeList), 3);
    EXPECT_TRUE(second.window.IsChecked(kFenceOpen));
    EXPECT_TRUE(second.window.Enabled(kLatitude)) << "a custom fence uses the latitude";
    EXPECT_TRUE(second.window.Enabled(kApn)) << "the GPRS mode's groups";
}

TEST(Dialog, ABadProfileIsRefusedByKeyAndLineAndChangesNothing) {
    ProfileFolder folder;
    Bench bench;
    bench.window.profilePath = folder.path / "bad.toml";
    bench.dialog.OnSaveProfile();
    std::string text;
    {
        std::ifstream saved(*bench.window.profilePath);
        text.assign(std::istreambuf_iterator<char>(saved), {});
    }
    const std::size_t at = text.find("userPassword = \"\"");
    ASSERT_NE(at, std::string::npos) << text;
    text.replace(at, 17, "userPassword = \"123456\"");
    std::ofstream(*bench.window.profilePath) << text;
    const int line = static_cast<int>(std::count(text.begin(), text.begin() + at, '\n')) + 1;

    bench.window.Type(kUserPassword, "42");
    bench.dialog.OnLoadProfile();
    ASSERT_EQ(bench.window.messages.size(), 1u);
    const std::string message = bench.window.messages[0].text;
    EXPECT_NE(message.find("userPassword"), std::string::npos) << message;
    EXPECT_NE(message.find("Line " + std::to_string(line)), std::string::npos) << message;
    EXPECT_EQ(bench.window.Text(kUserPassword), "42");

    bench.window.profilePath.reset();
    bench.dialog.OnLoadProfile();
    EXPECT_EQ(bench.window.messages.size(), 1u) << "a cancelled question does nothing";
}

// A profile Load would refuse is written only when the operator says so.
TEST(Dialog, SavingAProfileThatWillNotLoadAsksFirst) {
    ProfileFolder folder;
    Bench bench;
    bench.dialog.UnlockConfigArea();
    bench.dialog.Record().serverIp = "\xFF";  // as a read-back can leave it
    bench.dialog.Refresh();
    bench.window.Type(kApnPassword, "pa#ss");
    bench.window.profilePath = folder.path / "fleet.toml";
    bench.window.answer = MessageAnswer::Cancel;
    bench.dialog.OnSaveProfile();
    ASSERT_EQ(bench.window.messages.size(), 1u);
    const std::string& asked = bench.window.messages[0].text;
    EXPECT_EQ(bench.window.messages[0].buttons, MessageButtons::OkCancel);
    EXPECT_NE(asked.find("\"apnPassword\" holds \",\""), std::string::npos) << asked;
    EXPECT_NE(asked.find("\"serverIp\" holds a character"), std::string::npos) << asked;
    EXPECT_FALSE(std::filesystem::exists(*bench.window.profilePath));

    bench.window.answer = MessageAnswer::Ok;
    bench.dialog.OnSaveProfile();
    EXPECT_TRUE(std::filesystem::exists(*bench.window.profilePath));
}

// The Windows window takes off the low bits Windows keeps for itself; the
// form is given the item's own command, and nothing else opens the box.
TEST(Dialog, OnlyTheAboutCommandOfTheWindowMenuOpensTheAboutBox) {
    Bench bench;
    for (const unsigned command : {0x0010u, 0x0013u, 0x001Fu, 0x0020u, 0xF060u}) {
        bench.dialog.OnSystemCommand(command);
    }
    EXPECT_EQ(bench.window.aboutBoxes, 1);
}

}  // namespace
}  // namespace vorlen::testing
