#include <algorithm>
#include <chrono>

#include "journal_rows.h"
#include "provision_rig.h"

namespace vorlen::test {
namespace {

using Clock = std::chrono::steady_clock;

// Each tracker with an IMEI of its own, unless its options give one: two
// trackers with one IMEI at once are a cloned pair, and the second fails.
std::vector<std::unique_ptr<SimProcess>> Trackers(
    const std::vector<std::vector<std::string>>& options) {
    std::vector<std::unique_ptr<SimProcess>> sims;
    for (std::size_t i = 0; i < options.size(); ++i) {
        std::vector<std::string> option = options[i];
        if (std::find(option.begin(), option.end(), "--imei") == option.end()) {
            option.insert(option.end(), {"--imei", "8645070300002" + std::to_string(10 + i)});
        }
        sims.push_back(std::make_unique<SimProcess>(option));
    }
    return sims;
}

class Fleet : public ProvisionTest {
protected:
    ToolRun Provision(const std::vector<std::unique_ptr<SimProcess>>& sims,
                      std::vector<std::string> extra = {}) {
        std::vector<std::string> arguments{"--profile", profile_, "--report", Path("report.json")};
        for (const auto& sim : sims) {
            arguments.insert(arguments.end(), {"--port", PortOf(*sim)});
        }
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return RunTool(arguments);
    }
};

// The tracker starts asleep, as after a reset: two wake-up commands, the IMEI
// and the configuration as found, the nineteen settings, the three queries
// that verify them.
TEST_F(Fleet, OneTrackerIsWokenIdentifiedConfiguredAndVerified) {
    const auto sims = Trackers({{"--imei", "861234567890123"}});
    const ToolRun run = Provision(sims, {"--language", "zh"});
    EXPECT_EQ(run.status, fleet::kAllPassed) << run.out << run.err;
    const std::vector<std::string> sent = sims[0]->Commands();
    const std::vector<std::string> queries{"AT+OPENAT=901,;", "AT+OPENAT=902,;",
                                           "AT+OPENAT=903,;"};
    ASSERT_EQ(sent.size(), 2u + 1u + 3u + 19u + 3u);
    EXPECT_EQ(sent[0], "AT+ISP=RCAL:8");
    EXPECT_EQ(sent[2], "AT+EGMR=0,7");
    EXPECT_EQ(std::vector<std::string>(sent.begin() + 3, sent.begin() + 6), queries);
    EXPECT_EQ(sent[6], "AT+OPENAT=711,1,13900000001;");
    EXPECT_EQ(sent[19], "AT+OPENAT=751,500,10,11403.5678,E,2232.1234,S;");
    EXPECT_EQ(sent[23], GbkOf("AT+OPENAT=802,cmnet,车队,secret;"));
    EXPECT_EQ(std::vector<std::string>(sent.end() - 3, sent.end()), queries);
    EXPECT_NE(run.out.find(PortOf(*sims[0]) + ": 完成, 已设置并核对"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("[IMEI 861234567890123, 软件版本V1.04 SIM]"), std::string::npos)
        << run.out;
    const nlohmann::json report = Report(Path("report.json"));
    EXPECT_TRUE(report["passed"].get<bool>());
    EXPECT_EQ(report["ports"][0]["result"], "done");
    EXPECT_EQ(report["ports"][0]["imei"], "861234567890123");
    EXPECT_EQ(report["ports"][0]["softwareVersion"], "V1.04 SIM");
    EXPECT_GT(report["ports"][0]["timings"]["setAll"].get<double>(), 0.9);
}

// In parallel, eight trackers take hardly longer than one; each is known by
// its own IMEI, whatever port it is on.
TEST_F(Fleet, EightTrackersInParallelAllPass) {
    std::vector<std::vector<std::string>> options;
    for (int i = 0; i < 8; ++i) {
        options.push_back({"--awake", "--imei", "86000000000000" + std::to_string(i)});
    }
    const auto sims = Trackers(options);
    const auto start = Clock::now();
    const ToolRun run = Provision(sims);
    EXPECT_EQ(run.status, fleet::kAllPassed) << run.out << run.err;
    // One tracker takes about 1.5 s, so eight one after another would take
    // about 12 s; the room above one tracker is for a loaded two-core machine.
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(4000) + tool_->StartUp());
    const nlohmann::json report = Report(Path("report.json"));
    ASSERT_EQ(report["ports"].size(), 8u);
    for (std::size_t i = 0; i < sims.size(); ++i) {
        EXPECT_EQ(report["ports"][i]["port"], PortOf(*sims[i]));
        EXPECT_EQ(report["ports"][i]["result"], "done");
        EXPECT_EQ(report["ports"][i]["imei"], "86000000000000" + std::to_string(i));
        EXPECT_EQ(sims[i]->Commands().size(), 2u + 1u + 3u + 19u + 3u);
    }
    EXPECT_NE(run.out.find("8 of 8 trackers pass: 8 configured and verified, 0 already held the "
                          "profile (nothing written)."),
              std::string::npos)
        << run.out;
}

// The trace shows each port's line as the line monitor would: the refused
// password's write is followed by the tracker's ERROR and nothing more.
TEST_F(Fleet, TheTraceShowsEachPortsLineAsTheMonitorDoes) {
    const auto sims = Trackers({{"--awake"}, {"--awake", "--refuse", "770"}});
    const ToolRun run = Provision(sims, {"--trace"});
    EXPECT_EQ(run.status, fleet::kSomeFailed);
    const std::size_t first = run.out.find("Line of " + PortOf(*sims[0]) + ":\n");
    const std::size_t second = run.out.find("Line of " + PortOf(*sims[1]) + ":\n");
    ASSERT_NE(first, std::string::npos) << run.out;
    ASSERT_NE(second, std::string::npos) << run.out;
    const std::string refused = run.out.substr(second);
    const std::size_t password = refused.find("-> AT+OPENAT=770,4321;\\r\\n\n");
    const std::size_t error = refused.find("<- \\r\\nERROR\\r\\n\n");
    ASSERT_NE(password, std::string::npos) << refused;
    ASSERT_NE(error, std::string::npos) << refused;
    EXPECT_LT(password, error);
    EXPECT_EQ(refused.find("-> ", error), std::string::npos) << "nothing after the refusal";
    const std::string passed = run.out.substr(first, second - first);
    EXPECT_NE(passed.find("-> AT+OPENAT=903,;\\r\\n"), std::string::npos) << passed;
}

// The password is step 15: nothing after it reaches that tracker, and the
// others are not held up.
TEST_F(Fleet, ARefusedCommandFailsThatTrackerAtItsStepAlone) {
    const auto sims = Trackers({{"--awake"}, {"--awake", "--refuse", "770"}, {"--awake"}});
    const ToolRun run = Provision(sims);
    EXPECT_EQ(run.status, fleet::kSomeFailed);
    const nlohmann::json ports = Report(Path("report.json"))["ports"];
    EXPECT_EQ(ports[0]["result"], "done");
    EXPECT_EQ(ports[2]["result"], "done");
    EXPECT_EQ(ports[1]["result"], "step-failed");
    EXPECT_EQ(ports[1]["failedStep"], 15);
    EXPECT_EQ(ports[1]["failure"], "Set user password failed!");
    EXPECT_EQ(sims[1]->Commands().back(), "AT+OPENAT=770,4321;");
    EXPECT_NE(run.out.find(PortOf(*sims[1]) +
                           ": failed at step 15 of 19: Set user password failed!"),
              std::string::npos)
        << run.out;
}

// The tracker says OK to the server but keeps another one; only the
// read-back can tell.
TEST_F(Fleet, AValueStoredOtherThanAcknowledgedIsCaughtByTheVerification) {
    const auto sims = Trackers({{"--awake", "--misstore", "803"}});
    const ToolRun run = Provision(sims);
    EXPECT_EQ(run.status, fleet::kSomeFailed);
    const nlohmann::json port = Report(Path("report.json"))["ports"][0];
    EXPECT_EQ(port["result"], "differs");
    ASSERT_EQ(port["differences"].size(), 1u);
    EXPECT_EQ(port["differences"][0]["key"], "serverIp");
    EXPECT_EQ(port["differences"][0]["expected"], "10.1.2.3");
    EXPECT_EQ(port["differences"][0]["actual"], "10.1.2.39");
    EXPECT_NE(run.out.find("serverIp: sent \"10.1.2.3\", the tracker holds \"10.1.2.39\""),
              std::string::npos)
        << run.out;
}

TEST_F(Fleet, ATrackerThatIsNeverResetIsGivenUpAfterTheWakeTimeout) {
    const auto sims = Trackers({{"--silent"}});
    const auto start = Clock::now();
    const ToolRun run = Provision(sims, {"--wake-timeout", "0.4"});
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(1) + tool_->StartUp());
    EXPECT_EQ(run.status, fleet::kSomeFailed);
    EXPECT_EQ(Report(Path("report.json"))["ports"][0]["result"], "not-woken");
    const std::vector<std::string> sent = sims[0]->Commands();
    EXPECT_TRUE(std::all_of(sent.begin(), sent.end(),
                            [](const std::string& c) { return c == "AT+ISP=RCAL:8"; }));
}

// A tracker read into a profile configures a second one the same way.
TEST_F(Fleet, AReadProfileGivesASecondTrackerTheSameConfiguration) {
    const auto sims = Trackers({{"--awake"}, {}});
    const ToolRun first = RunTool({"--profile", profile_, "--port", PortOf(*sims[0])});
    ASSERT_EQ(first.status, fleet::kAllPassed) << first.out << first.err;
    const ToolRun read = RunTool({"--read", PortOf(*sims[0]), "--out", Path("first.toml")});
    ASSERT_EQ(read.status, fleet::kAllPassed) << read.out << read.err;
    const ToolRun second = RunTool({"--profile", Path("first.toml"), "--port", PortOf(*sims[1])});
    ASSERT_EQ(second.status, fleet::kAllPassed) << second.out << second.err;
    ASSERT_EQ(RunTool({"--read", PortOf(*sims[1]), "--out", Path("second.toml")}).status,
              fleet::kAllPassed);

    const ProfileResult saved = LoadProfileFile(Path("first.toml"), kEnglish);
    ASSERT_TRUE(saved) << GbkToUtf8(saved.error.message);
    EXPECT_EQ(WriteProfile(saved.profile->form, saved.profile->selections),
              WriteProfile(FleetProfile().form, FleetProfile().selections));
    std::ifstream one(Path("first.toml"));
    std::ifstream two(Path("second.toml"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(one), {}),
              std::string(std::istreambuf_iterator<char>(two), {}));
}

// A factory tracker holds a six-digit password: saved as it is, but the
// run fails and names the field, as the file cannot go to the fleet as read.
TEST_F(Fleet, ReadingAFactoryTrackerSavesItAndSaysWhatDoesNotFit) {
    const auto sims = Trackers({{"--awake"}});
    const ToolRun read = RunTool({"--read", PortOf(*sims[0]), "--out", Path("factory.toml")});
    EXPECT_EQ(read.status, fleet::kSomeFailed);
    EXPECT_NE(read.out.find("\"userPassword\" is longer than 4 bytes"), std::string::npos)
        << read.out;
    std::ifstream saved(Path("factory.toml"));
    const std::string text(std::istreambuf_iterator<char>(saved), {});
    EXPECT_NE(text.find("userPassword = \"123456\""), std::string::npos);
}

// The tracker's APN comes back with an escape sequence that would clear the
// operator's screen: every line shows it escaped, in a run and in a read.
TEST_F(Fleet, BytesTheTrackerChoseReachTheTerminalEscaped) {
    const auto sims = Trackers({{"--awake", "--reply",
                                 "902=\\x0d\\x0a@1#3#3#30#5#cm\\x1b[2Jnet#\\xb3\\xb5\\xb6\\xd3#"
                                 "secret#10.1.2.3#9000#5#V1#B1\\x0d\\x0aOK\\x0d\\x0a"}});
    const ToolRun run = Provision(sims);
    EXPECT_EQ(run.status, fleet::kSomeFailed);
    EXPECT_NE(run.out.find("apn: sent \"cmnet\", the tracker holds \"cm\\x1b[2Jnet\""),
              std::string::npos)
        << run.out;
    const ToolRun read =
        RunTool({"--read", PortOf(*sims[0]), "--out", Path("read.toml"), "--trace"});
    EXPECT_EQ(read.status, fleet::kSomeFailed);
    EXPECT_NE(read.out.find("\"apn\" holds a control character"), std::string::npos) << read.out;
    EXPECT_NE(read.out.find("Line of " + PortOf(*sims[0]) + ":\n"), std::string::npos);
    EXPECT_NE(read.out.find("<- \\r\\n@1#3#3#30#5#cm\\x1b[2Jnet#车队#"), std::string::npos);
    for (const std::string& out : {run.out, read.out}) {
        EXPECT_EQ(out.find('\x1b'), std::string::npos);
    }
}

// What a tracker may answer to the IMEI's query instead of an IMEI.
struct ImeiReply {
    const char* name;
    std::vector<std::string> sim;
    std::string said;  // after "failed before any setting: "
};

class NotAnImei : public Fleet, public ::testing::WithParamInterface<ImeiReply> {};

// A reply without quotes read as an empty IMEI and the tracker was configured
// with no identity on record; an escape in the IMEI reached the terminal.
// Now such a tracker fails before anything is written, its bytes escaped.
TEST_P(NotAnImei, FailsTheTrackerBeforeAnythingIsWritten) {
    const ImeiReply& reply = GetParam();
    std::vector<std::string> options{"--awake"};
    options.insert(options.end(), reply.sim.begin(), reply.sim.end());
    const auto sims = Trackers({options});
    for (const bool terminal : {false, true}) {
        if (terminal && !tool_->CanActAsTerminal()) {
            continue;
        }
        SCOPED_TRACE(terminal ? "terminal" : "plain");
        const ToolRun run = RunTool({"--profile", profile_, "--port", PortOf(*sims[0]),
                                     "--report", Path("report.json")},
                                    terminal);
        EXPECT_EQ(run.status, fleet::kSomeFailed);
        EXPECT_NE(run.out.find(PortOf(*sims[0]) + ": failed before any setting: " + reply.said),
                  std::string::npos)
            << run.out;
        EXPECT_EQ(run.out.find("\x1b[2J"), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find('\x1b') != std::string::npos, terminal) << run.out;
        const nlohmann::json port = Report(Path("report.json"))["ports"][0];
        EXPECT_EQ(port["result"], "read-back-failed");
        EXPECT_TRUE(port["imei"].is_null());
    }
    EXPECT_EQ(Writes(*sims[0]), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Fleet, NotAnImei,
    ::testing::Values(
        ImeiReply{"WithoutQuotes", {"--bare-imei"}, "the tracker's IMEI reply is not an IMEI"},
        ImeiReply{"WithATerminalEscape", {"--imei", "\x1b[2J864507030000001"},
                  "the tracker's IMEI reply is not an IMEI: \"\\x1b[2J864507030000"},
        ImeiReply{"TooShort", {"--imei", "8645070300001"},
                  "the tracker's IMEI reply is not an IMEI: \"8645070300001\""},
        ImeiReply{"TooLong", {"--imei", "86450703000000012"},
                  "the tracker's IMEI reply is not an IMEI: \"86450703000000012\""},
        ImeiReply{"NotDigits", {"--imei", "86450703000000A"},
                  "the tracker's IMEI reply is not an IMEI: \"86450703000000A\""}),
    [](const auto& info) { return std::string(info.param.name); });

// Two trackers with one IMEI at once both got that IMEI's device row, with
// no word: the second now fails before anything is written, naming the
// other's port.
TEST_F(Fleet, TwoTrackersWithOneImeiAtOnceFailTheSecond) {
    const auto sims = Trackers({{"--awake", "--imei", "864507030000007"},
                                {"--awake", "--imei", "864507030000007"}});
    const ToolRun run = Provision(sims);
    EXPECT_EQ(run.status, fleet::kSomeFailed);
    const nlohmann::json ports = Report(Path("report.json"))["ports"];
    const int second = ports[0]["result"] == "done" ? 1 : 0;
    const int first = 1 - second;
    EXPECT_EQ(ports[first]["result"], "done");
    EXPECT_EQ(ports[second]["result"], "read-back-failed");
    EXPECT_EQ(ports[second]["failure"],
              "IMEI 864507030000007 is also the tracker's in " + PortOf(*sims[first]) +
                  " at this moment: a cloned IMEI, nothing written");
    EXPECT_EQ(Writes(*sims[first]), 19);
    EXPECT_EQ(Writes(*sims[second]), 0);
}

// The report of an earlier run that passed is replaced before any tracker is
// touched, so a run stopped half-way never leaves "passed": true behind.
TEST_F(Fleet, AnUnfinishedRunLeavesNoReportThatClaimsSuccess) {
    const auto sims = Trackers({{"--awake"}});
    ASSERT_EQ(Provision(sims).status, fleet::kAllPassed);
    ASSERT_TRUE(Report(Path("report.json"))["passed"].get<bool>());
    const ToolRun stopped = Provision(sims, {"--port", tool_->AbsentPort()});
    EXPECT_EQ(stopped.status, fleet::kBadInput);
    const nlohmann::json report = Report(Path("report.json"));
    EXPECT_FALSE(report["finished"].get<bool>());
    EXPECT_FALSE(report["passed"].get<bool>());
}

TEST_F(Fleet, OutputThatIsNoTerminalGetsPlainLines) {
    const auto sims = Trackers({{"--awake"}});
    const ToolRun plain = RunTool({"--profile", profile_, "--port", PortOf(*sims[0])});
    EXPECT_EQ(plain.out.find('\x1b'), std::string::npos);
    EXPECT_NE(plain.out.find("set-all, step 1 of 19\n"), std::string::npos);
    EXPECT_EQ(plain.out.find("step 2 of 19"), std::string::npos);
    // The outcome once: a log read by a script counts each tracker once.
    const std::string outcome = PortOf(*sims[0]) + ": done, configured and verified";
    const std::size_t first = plain.out.find(outcome);
    ASSERT_NE(first, std::string::npos) << plain.out;
    EXPECT_EQ(plain.out.find(outcome, first + 1), std::string::npos) << plain.out;
}

TEST_F(Fleet, ATerminalSeesEveryStepRedrawnInPlace) {
    if (!tool_->CanActAsTerminal()) {
        GTEST_SKIP() << "this tool's output goes to a file, never to a terminal";
    }
    const auto sims = Trackers({{"--awake"}});
    const ToolRun tty =
        RunTool({"--profile", profile_, "--port", PortOf(*sims[0])}, /*terminal=*/true);
    EXPECT_NE(tty.out.find("set-all, step 7 of 19"), std::string::npos);
    EXPECT_NE(tty.out.find("set-all, step 19 of 19"), std::string::npos);
    EXPECT_NE(tty.out.find("\x1b[1A"), std::string::npos);
}

}  // namespace
}  // namespace vorlen::test
