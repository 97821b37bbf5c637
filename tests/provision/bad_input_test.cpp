#include <algorithm>

#include "provision_rig.h"

namespace vorlen::test {
namespace {

// What a bad run is given; `profile` and `port` stand for the test's good
// profile and a simulated tracker's port.
struct BadInput {
    const char* name;
    std::vector<std::string> arguments;
    std::string profileText;  // when not empty, the profile used instead of the good one
    std::string said;         // part of the one line on the error stream
};

std::string GoodProfileText() {
    return WriteProfile(FleetProfile().form, FleetProfile().selections);
}

std::string WithLine(const std::string& key, const std::string& line) {
    std::string text = GoodProfileText();
    const std::size_t at = text.find("\n" + key + " = ") + 1;
    return text.replace(at, text.find('\n', at) - at, line);
}

int LineNumberOf(const std::string& text, const std::string& start) {
    const std::size_t at = text.find("\n" + start) + 1;
    return static_cast<int>(std::count(text.begin(), text.begin() + at, '\n')) + 1;
}

const std::string kLongApnUser = WithLine("apnUser", "apnUser = \"" + std::string(33, 'u') + "\"");

std::vector<BadInput> BadInputs() {
    return {
        {"unknown_option", {"--profile", "profile", "--port", "port", "--colour"}, "",
         "The following argument was not expected: --colour"},
        {"missing_profile", {"--profile", "missing.toml", "--port", "port"}, "",
         "missing.toml: no such file"},
        {"profile_without_port", {"--profile", "profile"}, "", "--profile requires --port"},
        {"nothing_to_do", {}, "", "give --profile FILE with --port PORT"},
        {"wake_timeout_not_positive",
         {"--profile", "profile", "--port", "port", "--wake-timeout", "0"}, "", "--wake-timeout"},
        {"unknown_language", {"--profile", "profile", "--port", "port", "--language", "fr"}, "",
         "--language"},
        {"unknown_key", {"--profile", "profile", "--port", "port"},
         GoodProfileText() + "speed = \"fast\"\n", "unknown key \"speed\""},
        {"value_over_its_limit", {"--profile", "profile", "--port", "port"}, kLongApnUser,
         "Line " + std::to_string(LineNumberOf(kLongApnUser, "apnUser")) +
             ": \"apnUser\" is longer than 32 bytes"},
        {"refused_by_the_set_all_check", {"--profile", "profile", "--port", "port"},
         WithLine("userPassword", "userPassword = \"12a4\""),
         "Set ALL refuses this profile: Password must be valid digit number!"},
        {"port_that_does_not_open",
         {"--profile", "profile", "--port", "port", "--port", "/tmp/vorlen-no-such-tty"}, "",
         "Cannot open the port /tmp/vorlen-no-such-tty; nothing was sent to any tracker."},
        {"port_given_twice", {"--profile", "profile", "--port", "port", "--port", "port"}, "",
         "is given twice"},
        {"report_into_a_missing_folder",
         {"--profile", "profile", "--port", "port", "--report", "/tmp/vorlen-no-such/r.json"}, "",
         "the folder of /tmp/vorlen-no-such/r.json does not exist"},
        {"read_into_a_missing_folder", {"--read", "port", "--out", "/tmp/vorlen-no-such/p.toml"},
         "", "does not exist"},
    };
}

void PrintTo(const BadInput& bad, std::ostream* out) { *out << bad.name; }

class BadInputTest : public ProvisionTest, public ::testing::WithParamInterface<BadInput> {};

// One clear line, exit status 2, and the simulator's log proves that nothing
// reached the tracker.
TEST_P(BadInputTest, IsRefusedInOneLineBeforeAnythingIsSent) {
    const BadInput& bad = GetParam();
    SimProcess tracker({"--awake"});
    const std::string profile =
        bad.profileText.empty() ? profile_ : FileWith("bad.toml", bad.profileText);
    std::vector<std::string> arguments;
    for (const std::string& argument : bad.arguments) {
        arguments.push_back(argument == "profile" ? profile
                            : argument == "port"  ? tracker.LinkPath()
                            : argument == "missing.toml" ? Path("missing.toml")
                                                         : argument);
    }
    const ToolRun run = RunTool(arguments);
    EXPECT_EQ(run.status, provision::kBadInput);
    EXPECT_NE(run.err.find(bad.said), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(tracker.Commands().empty());
}

INSTANTIATE_TEST_SUITE_P(Refusals, BadInputTest, ::testing::ValuesIn(BadInputs()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProvisionTest, RefusalsSpeakChineseWhenAskedEvenForBadArguments) {
    const ToolRun run = RunTool({"--language", "zh", "--colour"});
    EXPECT_EQ(run.status, provision::kBadInput);
    EXPECT_EQ(run.err.rfind("vorlen-provision: 参数错误: ", 0), 0u) << run.err;

    const ToolRun missing = RunTool({"--language", "zh", "--profile", Path("none.toml"),
                                     "--port", "/tmp/vorlen-no-such-tty"});
    EXPECT_NE(missing.err.find("文件不存在"), std::string::npos) << missing.err;
}

TEST_F(ProvisionTest, HelpListsTheOptionsAndExitCodesInTheAskedLanguage) {
    const ToolRun english = RunTool({"--help"});
    EXPECT_EQ(english.status, provision::kAllPassed);
    EXPECT_NE(english.out.find("--wake-timeout SECONDS"), std::string::npos);
    EXPECT_NE(english.out.find("Exit status: 0"), std::string::npos);
    const ToolRun chinese = RunTool({"--language", "zh", "--help"});
    EXPECT_NE(chinese.out.find("退出状态: 0"), std::string::npos) << chinese.out;
}

}  // namespace
}  // namespace vorlen::test
