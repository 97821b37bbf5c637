#include <algorithm>

#include "provision_rig.h"

namespace vorlen::test {
namespace {

// What a bad run is given; `profile` and `port` stand for the test's good
// profile and a simulated tracker's port.
struct BadInput {
    std::string name;
    std::vector<std::string> arguments;
    std::string profileText;  // when not empty, the profile used instead of the good one
    std::string said;         // part of the first line on the error stream
    int lines = 1;            // every mistake of a profile has a line of its own
    std::string devicesText = {};  // when not empty, given as --devices
};

std::string GoodProfileText() {
    return WriteProfile(FleetProfile().form, FleetProfile().selections);
}

// `text` with each of `lines` (key = value) in place of that key's line.
std::string WithLines(std::string text, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        const std::string key = line.substr(0, line.find(' '));
        const std::size_t at = text.find("\n" + key + " = ") + 1;
        text.replace(at, text.find('\n', at) - at, line);
    }
    return text;
}

std::string WithLine(const std::string& line) {
    return WithLines(GoodProfileText(), {line});
}

int LineNumberOf(const std::string& text, const std::string& start) {
    const std::size_t at = text.find("\n" + start) + 1;
    return static_cast<int>(std::count(text.begin(), text.begin() + at, '\n')) + 1;
}

std::string LineOf(const std::string& text, const std::string& key) {
    return "Line " + std::to_string(LineNumberOf(text, key + " = ")) + ": \"" + key + "\"";
}

const std::string kLongApnUser = WithLine("apnUser = \"" + std::string(33, 'u') + "\"");
const std::string kNoWorkingMode = WithLine("workingMode = \"\"");
const std::string kFenceWithoutType = WithLine("fenceType = \"\"");
const std::string kFourMistakes =
    WithLines(GoodProfileText(), {"centerNumber = \"12\"", "warningType = \"\"",
                                  "userPassword = \"12a4\"", "fenceInterval = \"60\""});
const std::string kTwoLoadFaults =
    WithLines(kLongApnUser, {"apn = \"cmnet,x\""});
const std::string kUnverifiablePassword =
    WithLine("apnPassword = \"" + std::string(32, 'p') + "\"");

const std::string kMalformedNumber = WithLine("userId = \"T-{n:4}\"");
const std::string kNumbered = WithLine("userId = \"T-{n:04}\"");

std::vector<std::string> WithWakeTimeout(const std::string& seconds) {
    return {"--profile", "profile", "--port", "port", "--wake-timeout", seconds};
}

constexpr const char* kWakeRange = "--wake-timeout: a number of seconds from 0.1 to 86400";

const std::string kImeiA = "864507030000001";
const std::string kImeiB = "864507030000002";

// A device row that empties a choice set-all sends went out as -1 (or the
// wrong hemisphere) and passed as verified.
BadInput DeviceChoiceLeftEmpty(const std::string& key) {
    return {"device_choice_left_empty_" + key, {"--profile", "profile", "--port", "port"}, "",
            ", row 2, column " + key + ": empty, but Set ALL sends it: name one of ", 1,
            "imei,userId," + key + "\n" + kImeiA + ",TRUCK1,\"\"\n"};
}

// A 32-byte APN login in a row was written, then failed its read-back.
BadInput DeviceLoginOf32Bytes(const std::string& key) {
    return {"device_login_of_32_bytes_" + key, {"--profile", "profile", "--port", "port"}, "",
            ", row 2, column " + key + ": longer than 31 bytes, the most the tracker's read-back",
            1, "imei," + key + "\n" + kImeiA + "," + std::string(32, 'x') + "\n"};
}

std::vector<BadInput> BadInputs() {
    return {
        {"unknown_option", {"--profile", "profile", "--port", "port", "--colour"}, "",
         "The following argument was not expected: --colour"},
        {"missing_profile", {"--profile", "missing.toml", "--port", "port"}, "",
         "missing.toml: no such file"},
        {"profile_without_port", {"--profile", "profile"}, "", "--profile requires --port"},
        {"nothing_to_do", {}, "", "give --profile FILE with --port PORT"},
        {"wake_timeout_not_positive", WithWakeTimeout("0"), "", kWakeRange},
        {"wake_timeout_nan", WithWakeTimeout("nan"), "", kWakeRange},
        {"wake_timeout_inf", WithWakeTimeout("inf"), "", kWakeRange},
        {"wake_timeout_negative", WithWakeTimeout("-5"), "", kWakeRange},
        {"wake_timeout_absurd", WithWakeTimeout("1e300"), "", kWakeRange},
        {"unknown_language", {"--profile", "profile", "--port", "port", "--language", "fr"}, "",
         "--language"},
        {"unknown_key", {"--profile", "profile", "--port", "port"},
         GoodProfileText() + "speed = \"fast\"\n", "unknown key \"speed\""},
        {"value_over_its_limit", {"--profile", "profile", "--port", "port"}, kLongApnUser,
         "Line " + std::to_string(LineNumberOf(kLongApnUser, "apnUser")) +
             ": \"apnUser\" is longer than 32 bytes"},
        {"refused_by_the_set_all_check", {"--profile", "profile", "--port", "port"},
         WithLine("userPassword = \"12a4\""),
         "\"userPassword\": Set ALL refuses it: Password must be valid digit number!"},
        {"working_mode_left_empty", {"--profile", "profile", "--port", "port"}, kNoWorkingMode,
         LineOf(kNoWorkingMode, "workingMode") + " is empty, but Set ALL sends it"},
        {"fence_on_without_a_type", {"--profile", "profile", "--port", "port"}, kFenceWithoutType,
         LineOf(kFenceWithoutType, "fenceType") + " is empty"},
        {"every_mistake_at_once", {"--profile", "profile", "--port", "port"}, kFourMistakes,
         LineOf(kFourMistakes, "fenceInterval") + ": Set ALL refuses it", 4},
        {"every_fault_of_the_file_at_once", {"--profile", "profile", "--port", "port"},
         kTwoLoadFaults, LineOf(kTwoLoadFaults, "apn"), 2},
        {"apn_password_the_read_back_cannot_show", {"--profile", "profile", "--port", "port"},
         kUnverifiablePassword,
         LineOf(kUnverifiablePassword, "apnPassword") + " is longer than 31 bytes"},
        {"control_byte_in_a_key", {"--profile", "profile", "--port", "port"},
         GoodProfileText() + "\"sp\\u001b[2Jeed\" = 1\n", "unknown key \"sp\\x1b[2Jeed\""},
        {"port_that_does_not_open", {"--profile", "profile", "--port", "port", "--port", "absent"},
         "", "Cannot open the port absent; nothing was sent to any tracker."},
        {"port_given_twice", {"--profile", "profile", "--port", "port", "--port", "port"}, "",
         "is given twice"},
        {"report_into_a_missing_folder",
         {"--profile", "profile", "--port", "port", "--report", "/tmp/vorlen-no-such/r.json"}, "",
         "/tmp/vorlen-no-such/r.json does not exist"},
        {"journal_that_cannot_be_opened",
         {"--profile", "profile", "--port", "port", "--journal", "/tmp/vorlen-no-such/j.sqlite"},
         "", "Cannot keep the journal "},
        {"journal_password_never_shown",
         {"--profile", "profile", "--port", "port", "--journal",
          "postgresql://vorlen:s3cret@/db?host=/tmp/vorlen-no-such&connect_timeout=1"},
         "", "Cannot keep the journal postgresql://vorlen:***@/db?host=/tmp/vorlen-no-such"},
        {"journal_password_in_the_query_never_shown",
         {"--profile", "profile", "--port", "port", "--journal",
          "postgresql://vorlen@/db?host=/tmp/vorlen-no-such&password=s3cret&connect_timeout=1"},
         "", "Cannot keep the journal postgresql://vorlen@/db?host=/tmp/vorlen-no-such&password=***&"},
        {"device_column_no_profile_key", {"--profile", "profile", "--port", "port"}, "",
         ", row 1, column speed: not a profile key", 1, "imei,speed\n" + kImeiA + ",fast\n"},
        {"device_list_separated_by_semicolons", {"--profile", "profile", "--port", "port"}, "",
         ": the list is separated by semicolons; its values are expected separated by commas", 1,
         "imei;userId\n" + kImeiA + ";TRUCK7\n"},
        {"device_value_over_its_limit", {"--profile", "profile", "--port", "port"}, "",
         ", row 3, column apnUser: \"apnUser\" is longer than 32 bytes", 1,
         "imei,apnUser\n" + kImeiA + ",short\n" + kImeiB + "," + std::string(33, 'u') + "\n"},
        {"device_value_refused_by_the_set_all_check", {"--profile", "profile", "--port", "port"},
         "", ", row 2, column userPassword: Password must be valid digit number!", 1,
         "imei,userId,userPassword\n" + kImeiA + ",TRUCK7,12a4\n"},
        {"device_choice_no_entry", {"--profile", "profile", "--port", "port"}, "",
         ", row 2, column workingMode: \"workingMode\" must be one of", 1,
         "imei,workingMode\n" + kImeiA + ",Flying\n"},
        {"device_imei_not_digits", {"--profile", "profile", "--port", "port"}, "",
         ", row 2, column imei: an IMEI is 14 to 16 digits", 1, "imei,serverPort\n86-1,9001\n"},
        {"device_imei_too_short", {"--profile", "profile", "--port", "port"}, "",
         ", row 2, column imei: an IMEI is 14 to 16 digits", 1,
         "imei,serverPort\n8645070300001,9001\n"},
        {"device_imei_twice", {"--profile", "profile", "--port", "port"}, "",
         ", row 4, column imei: the IMEI is listed twice", 1,
         "imei,serverPort\n" + kImeiA + ",9001\n" + kImeiB + ",9002\n" + kImeiA + ",9003\n"},
        {"device_value_with_a_command_separator", {"--profile", "profile", "--port", "port"}, "",
         ", row 2, column userId: \"userId\" holds \",\", \";\" or \"#\"", 1,
         "imei,userId\n" + kImeiA + ",\"TRUCK,B\"\n"},
        {"device_apn_with_a_command_separator", {"--profile", "profile", "--port", "port"}, "",
         ", row 2, column apn: \"apn\" holds \",\", \";\" or \"#\"", 1,
         "imei,apn\n" + kImeiA + ",cm;net\n"},
        DeviceChoiceLeftEmpty("northSouth"),
        DeviceChoiceLeftEmpty("workingMode"),
        DeviceChoiceLeftEmpty("warningType"),
        DeviceChoiceLeftEmpty("baseStationCount"),
        DeviceLoginOf32Bytes("apnUser"),
        DeviceLoginOf32Bytes("apnPassword"),
        {"device_row_with_a_quote_left_open", {"--profile", "profile", "--port", "port"}, "",
         "a quoted value is not closed", 1, "imei,serverPort\n" + kImeiA + ",\"9001\n"},
        {"numbered_value_malformed", {"--profile", "profile", "--port", "port"}, kMalformedNumber,
         LineOf(kMalformedNumber, "userId") + ": \"T-{n:4}\" holds a malformed number"},
        {"numbered_value_twice", {"--profile", "profile", "--port", "port"},
         WithLine("userId = \"{n}-{n:02}\""), "\"{n}-{n:02}\" holds two numbers"},
        {"numbered_value_without_journal",
         {"--profile", "profile", "--port", "port", "--no-journal"}, kNumbered,
         "numbered values (userId) are drawn from the journal, and --no-journal keeps none"},
        {"device_numbered_value_malformed", {"--profile", "profile", "--port", "port"}, "",
         ", row 2, column userId: \"T{n:0}\" holds a malformed number", 1,
         "imei,userId\n" + kImeiA + ",T{n:0}\n"},
        {"csv_without_history", {"--csv"}, "", "--csv requires --history"},
        {"read_into_a_missing_folder", {"--read", "port", "--out", "/tmp/vorlen-no-such/p.toml"},
         "", "does not exist"},
    };
}

void PrintTo(const BadInput& bad, std::ostream* out) { *out << bad.name; }

class BadInputTest : public ProvisionTest, public ::testing::WithParamInterface<BadInput> {};

// One clear line per mistake, escaped for the terminal, exit status 2, and
// the simulator's log proves that nothing reached the tracker.
TEST_P(BadInputTest, IsRefusedInOneLineBeforeAnythingIsSent) {
    const BadInput& bad = GetParam();
    SimProcess tracker({"--awake"});
    const std::string profile =
        bad.profileText.empty() ? profile_ : FileWith("bad.toml", bad.profileText);
    std::vector<std::string> arguments;
    for (const std::string& argument : bad.arguments) {
        arguments.push_back(argument == "profile" ? profile
                            : argument == "port"  ? PortOf(tracker)
                            : argument == "absent" ? tool_->AbsentPort()
                            : argument == "missing.toml" ? Path("missing.toml")
                                                         : argument);
    }
    std::string said = bad.said;
    if (const std::size_t absent = said.find("absent"); absent != std::string::npos) {
        said.replace(absent, 6, tool_->AbsentPort());
    }
    if (!bad.devicesText.empty()) {
        arguments.insert(arguments.end(), {"--devices", FileWith("devices.csv", bad.devicesText)});
    }
    const ToolRun run = RunTool(arguments);
    EXPECT_EQ(run.status, fleet::kBadInput);
    EXPECT_NE(run.err.find(said), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), bad.lines) << run.err;
    EXPECT_TRUE(std::none_of(run.err.begin(), run.err.end(),
                             [](char c) { return c != '\n' && static_cast<unsigned char>(c) < 0x20; }))
        << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.find("s3cret"), std::string::npos) << run.err;
    EXPECT_TRUE(tracker.Commands().empty());
}

INSTANTIATE_TEST_SUITE_P(Refusals, BadInputTest, ::testing::ValuesIn(BadInputs()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProvisionTest, RefusalsSpeakChineseWhenAskedEvenForBadArguments) {
    const ToolRun run = RunTool({"--language", "zh", "--colour"});
    EXPECT_EQ(run.status, fleet::kBadInput);
    EXPECT_EQ(run.err.rfind("vorlen-provision: 参数错误: ", 0), 0u) << run.err;

    const ToolRun missing = RunTool({"--language", "zh", "--profile", Path("none.toml"),
                                     "--port", tool_->AbsentPort()});
    EXPECT_NE(missing.err.find("文件不存在"), std::string::npos) << missing.err;
}

TEST_F(ProvisionTest, HelpListsTheOptionsAndExitCodesInTheAskedLanguage) {
    const ToolRun english = RunTool({"--help"});
    EXPECT_EQ(english.status, fleet::kAllPassed);
    EXPECT_NE(english.out.find("--wake-timeout SECONDS"), std::string::npos);
    EXPECT_NE(english.out.find("Exit status: 0"), std::string::npos);
    const ToolRun chinese = RunTool({"--language", "zh", "--help"});
    EXPECT_NE(chinese.out.find("退出状态: 0"), std::string::npos) << chinese.out;
}

}  // namespace
}  // namespace vorlen::test
