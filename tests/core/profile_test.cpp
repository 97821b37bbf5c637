#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#ifdef _WIN32
#include <windows.h>
#include <aclapi.h>
#endif

#include <gtest/gtest.h>

#include "fakes.h"
#include "model/bilingual.h"
#include "model/gbk.h"
#include "profile/profile.h"
#include "profile/profile_file.h"
#include "profile/profile_keys.h"

namespace vorlen {
namespace {

namespace fs = std::filesystem;

// The texts a profile holds: every field with a typing limit.
void ExpectSameProfile(const TrackerForm& form, const Selections& selections,
                       const Profile& read) {
    for (const FieldSpec& field : ExchangeOrder()) {
        if (field.maxLength > 0) {
            EXPECT_EQ(read.form.*field.text, form.*field.text) << field.name;
        }
    }
    EXPECT_EQ(read.form.fenceEnabled, form.fenceEnabled != 0 ? 1 : 0);
    EXPECT_EQ(read.selections.workingMode, selections.workingMode);
    EXPECT_EQ(read.selections.warningType, selections.warningType);
    EXPECT_EQ(read.selections.baseStationCount, selections.baseStationCount);
    EXPECT_EQ(read.selections.fenceType, selections.fenceType);
    EXPECT_EQ(read.selections.northSouth, selections.northSouth);
    EXPECT_EQ(read.selections.eastWest, selections.eastWest);
}

// The tests' filled form within the typing limits: no tab, no third byte in
// the fence interval.
TrackerForm Filled() {
    TrackerForm form = testing::FilledForm();
    form.fenceInterval = "10";
    form.latitude = "2232.1234";
    form.longitude = "11403.5678";
    return form;
}

struct RoundTrip {
    const char* name;
    TrackerForm form;
    Selections selections;
};

TrackerForm Awkward() {
    TrackerForm form = Filled();
    form.fenceEnabled = 1;
    form.apn = GbkOf("中" + std::string(98, 'a'));  // 100 bytes, the limit
    form.userId = GbkOf("用户\"名\\");    // quote and backslash, 8 bytes
    form.apnPassword = GbkOf("p=s [x] 'y'、é﹐");  // characters toml++ cannot test as blanks
    form.centerNumber = "#=[x]";  // a number's field checks only its length here
    form.serverIp = "  10.0.0.1  ";  // blanks are kept as typed
    return form;
}

void PrintTo(const RoundTrip& trip, std::ostream* out) { *out << trip.name; }

class ProfileRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(ProfileRoundTrip, ReadsBackExactlyWhatWasWritten) {
    const RoundTrip& trip = GetParam();
    const std::string text = WriteProfile(trip.form, trip.selections);
    const ProfileResult read = ReadProfile(text, kEnglish);
    ASSERT_TRUE(read) << GbkToUtf8(read.error.message) << "\n" << text;
    ExpectSameProfile(trip.form, trip.selections, *read.profile);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ProfileRoundTrip,
    ::testing::Values(RoundTrip{"empty_and_nothing_selected", TrackerForm{}, Selections{}},
                      RoundTrip{"filled", Filled(), Selections{1, 2, 3, 0, 0, 1}},
                      RoundTrip{"chinese_quotes_and_fence", Awkward(),
                                Selections{4, 3, 7, 1, 1, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

// Every entry of every list comes back as the same index.
TEST(ProfileChoices, EveryEntryOfEveryListRoundTrips) {
    for (const ProfileKey& key : ProfileKeys()) {
        for (int index = 0; index < static_cast<int>(key.entries.size()); ++index) {
            Selections selections;
            selections.*key.selection = index;
            const ProfileResult read = ReadProfile(WriteProfile({}, selections), kEnglish);
            ASSERT_TRUE(read) << key.name;
            EXPECT_EQ(read.profile->selections.*key.selection, index) << key.name;
        }
    }
}

// A valid profile with the line of `key` replaced by `line` (or, with an
// empty key, `line` added at the end).
std::string WithLine(const std::string& key, const std::string& line) {
    std::string text = WriteProfile(Filled(), Selections{1, 0, 1, 0, 0, 0});
    if (key.empty()) {
        return text + line + "\n";
    }
    const std::size_t at = text.find("\n" + key + " = ") + 1;
    return text.replace(at, text.find('\n', at) - at, line);
}

int LineOf(const std::string& text, const std::string& start) {
    const std::size_t at = text.find("\n" + start) + 1;
    return static_cast<int>(std::count(text.begin(), text.begin() + at, '\n')) + 1;
}

struct Refusal {
    const char* name;
    std::string text;
    std::string key;
    std::string lineStart;  // the refused line begins so; empty: no line
    const char* said;       // part of the English message
};

std::vector<Refusal> Refusals() {
    const std::string fiftyOneChinese = [] {
        std::string s;
        for (int i = 0; i < 51; ++i) s += "中";
        return s;
    }();
    return {
        {"unknown_key", WithLine("", "colour = \"red\""), "colour", "colour", "unknown key"},
        {"section_header", WithLine("", "[gprs]"), "gprs", "[gprs]", "unknown key \"gprs\""},
        {"password_over_its_four_bytes", WithLine("userPassword", "userPassword = \"12345\""),
         "userPassword", "userPassword", "longer than 4 bytes"},
        {"chinese_counts_two_bytes", WithLine("fenceInterval", "fenceInterval = \"中1\""),
         "fenceInterval", "fenceInterval", "longer than 2 bytes"},
        {"apn_of_102_bytes", WithLine("apn", "apn = \"" + fiftyOneChinese + "\""), "apn", "apn",
         "longer than 100 bytes"},
        {"not_in_gbk", WithLine("apn", "apn = \"\xF0\x9F\x98\x80\""), "apn", "apn",
         "cannot store"},
        {"line_break_in_a_text", WithLine("centerNumber", "centerNumber = \"10086\\r\\nAT\""),
         "centerNumber", "centerNumber", "control character"},
        {"hash_in_the_apn_password", WithLine("apnPassword", "apnPassword = \"pa#ss\""),
         "apnPassword", "apnPassword", "would split"},
        {"comma_in_the_apn", WithLine("apn", "apn = \"cmnet,x\""), "apn", "apn", "\",\", \";\""},
        {"number_instead_of_text", WithLine("intervalTime", "intervalTime = 30"), "intervalTime",
         "intervalTime", "in quotes"},
        {"switch_as_text", WithLine("fenceEnabled", "fenceEnabled = \"yes\""), "fenceEnabled",
         "fenceEnabled", "true or false"},
        {"unknown_entry", WithLine("workingMode", "workingMode = \"P2X\""), "workingMode",
         "workingMode", "\"P2P\", \"P2S\""},
        {"entry_by_index", WithLine("baseStationCount", "baseStationCount = 3"),
         "baseStationCount", "baseStationCount", "must be one of"},
        {"missing_key", WithLine("serverPort", "# serverPort removed"), "serverPort", "",
         "has no \"serverPort\""},
        {"unterminated_text", WithLine("userId", "userId = \"ID42"), "", "userId",
         "not valid TOML"},
        {"key_twice", WithLine("", "apn = \"again\""), "", "apn = \"again\"", "not valid TOML"},
        {"chinese_comma_after_a_value", WithLine("userId", "userId = \"ID42\"、"), "", "userId",
         "not valid TOML"},
        {"accented_letter_before_the_equals", WithLine("apn", "apn é= \"x\""), "", "apn",
         "not valid TOML"},
    };
}

void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.name; }

class ProfileRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(ProfileRefusal, NamesTheKeyAndTheLineAndTakesNothing) {
    const Refusal& refusal = GetParam();
    const ProfileResult read = ReadProfile(refusal.text, kEnglish);
    ASSERT_FALSE(read);
    EXPECT_FALSE(read.profile.has_value());
    EXPECT_EQ(read.error.key, refusal.key);
    const int line = refusal.lineStart.empty() ? 0 : LineOf(refusal.text, refusal.lineStart);
    EXPECT_EQ(read.error.line, line);
    const std::string message = GbkToUtf8(read.error.message);
    EXPECT_NE(message.find(refusal.said), std::string::npos) << message;
    if (line > 0) {
        EXPECT_NE(message.find("Line " + std::to_string(line)), std::string::npos) << message;
    }
    if (!refusal.key.empty()) {
        EXPECT_NE(message.find(refusal.key), std::string::npos) << message;
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, ProfileRefusal, ::testing::ValuesIn(Refusals()),
                         [](const auto& info) { return std::string(info.param.name); });

// One run names every fault, down the file, the missing keys last.
TEST(ProfileRefusal, ReportsEveryFaultDownTheFileInChinese) {
    std::string text = WithLine("userNumber2", "userNumber2 = 2");
    const std::size_t port = text.find("\nserverPort = ") + 1;
    text.replace(port, text.find('\n', port) - port, "serverPort = \"1#\"");
    const std::size_t apn = text.find("\napn = ") + 1;
    text.erase(apn, text.find('\n', apn) + 1 - apn);
    const ProfileResult read = ReadProfile(text, kChinese);
    ASSERT_FALSE(read);
    ASSERT_EQ(read.faults.size(), 3u);
    EXPECT_EQ(read.faults[1].key, "serverPort");
    EXPECT_EQ(read.faults[1].line, LineOf(text, "serverPort"));
    EXPECT_EQ(read.faults[2].key, "apn");
    EXPECT_EQ(read.error.key, "userNumber2");
    EXPECT_EQ(GbkToUtf8(read.error.message),
              "第" + std::to_string(LineOf(text, "userNumber2")) +
                  "行: \"userNumber2\"必须是引号中的文字。\n" + GbkToUtf8(read.faults[1].message) +
                  "\n配置文件缺少\"apn\"。");
}

// What Save Profile asks about: the fields of a read-back that Load refuses.
TEST(ProfileRefusal, FieldsThatWillNotLoadAreTheOnesLoadRefuses) {
    EXPECT_TRUE(FieldsThatWillNotLoad(Filled(), {}, kEnglish).empty());
    TrackerForm form = Filled();
    form.userPassword = "123456";  // a tracker's factory password, read back
    form.apn = "cm\xFFnet";        // not GBK
    form.serverIp = "10.0.0.1,x";
    std::vector<std::string> keys;
    for (const ProfileError& fault : FieldsThatWillNotLoad(form, {}, kEnglish)) {
        keys.push_back(fault.key);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"userPassword", "apn", "serverIp"}));
}

class ProfileFile : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        directory_ = fs::temp_directory_path() /
                     ("vorlen-profile-" + std::to_string(std::random_device{}()) + "-" + test);
        fs::create_directories(directory_);
    }
    void TearDown() override { fs::remove_all(directory_); }
    fs::path directory_;
};

TEST_F(ProfileFile, SavedFileIsTheOwnersAloneAndLoadsBack) {
    const fs::path path = directory_ / "fleet.toml";
    {
        std::ofstream old(path);  // an older file, readable by everyone
        old << "old";
    }
    fs::permissions(path, fs::perms::all);
    const Selections selections{3, 1, 2, 1, 1, 1};
    ASSERT_TRUE(SaveProfileFile(path, Filled(), selections));
#ifndef _WIN32  // Windows keeps a file's readers in its access list, not in mode bits
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
#endif
    const ProfileResult read = LoadProfileFile(path, kEnglish);
    ASSERT_TRUE(read) << GbkToUtf8(read.error.message);
    ExpectSameProfile(Filled(), selections, *read.profile);
    EXPECT_EQ(std::distance(fs::directory_iterator(directory_), {}), 1);  // no leftovers
}

#ifndef _WIN32
// Links planted at the target and at the name older versions wrote through
// must not carry the passwords into the file they point at.
TEST_F(ProfileFile, PlantedLinksAreReplacedNotFollowed) {
    const fs::path path = directory_ / "fleet.toml";
    const fs::path victim = directory_ / "victim";
    std::ofstream(victim) << "victim";
    fs::create_symlink(victim, path);
    fs::create_symlink(victim, directory_ / "fleet.toml.part");
    ASSERT_TRUE(SaveProfileFile(path, Filled(), {}));
    EXPECT_FALSE(fs::is_symlink(path));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    std::ifstream in(victim);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "victim");
    EXPECT_EQ(std::distance(fs::directory_iterator(directory_), {}), 3);  // nothing else left
}
#else
// Only the user who saved it can open the file: one allowing entry, for that
// user, and nothing taken from the folder.
TEST_F(ProfileFile, SavedFileAllowsItsUserAlone) {
    if (::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr) {
        GTEST_SKIP() << "Wine shows an access list of its own (two entries), not the file's";
    }
    const fs::path path = directory_ / "fleet.toml";
    ASSERT_TRUE(SaveProfileFile(path, Filled(), {}));
    PACL acl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(::GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                      nullptr, nullptr, &acl, nullptr, &descriptor),
              ERROR_SUCCESS);
    ASSERT_NE(acl, nullptr);
    EXPECT_EQ(acl->AceCount, 1);
    void* ace = nullptr;
    ASSERT_TRUE(::GetAce(acl, 0, &ace));
    HANDLE token = nullptr;
    ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token));
    char user[256];
    DWORD size = sizeof user;
    ASSERT_TRUE(::GetTokenInformation(token, TokenUser, user, size, &size));
    ::CloseHandle(token);
    auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
    EXPECT_EQ(allowed->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
    EXPECT_TRUE(::EqualSid(&allowed->SidStart, reinterpret_cast<TOKEN_USER*>(user)->User.Sid));
    ::LocalFree(descriptor);
}
#endif

TEST_F(ProfileFile, SaveIntoAMissingFolderFailsAndLeavesNothing) {
    EXPECT_FALSE(SaveProfileFile(directory_ / "no" / "fleet.toml", {}, {}));
    EXPECT_NE(GbkToUtf8(SaveFailedMessage(directory_ / "no" / "fleet.toml", kChinese))
                  .find("无法写入配置文件"),
              std::string::npos);
    EXPECT_TRUE(fs::is_empty(directory_));
}

TEST_F(ProfileFile, MissingAndOversizedFilesAreRefusedWithTheirName) {
    const ProfileResult missing = LoadProfileFile(directory_ / "none.toml", kEnglish);
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error.message.find("none.toml: no such file"), std::string::npos);

    const fs::path large = directory_ / "large.toml";
    std::ofstream(large) << std::string(kLargestProfileFile + 1, '#');
    const ProfileResult tooLarge = LoadProfileFile(large, kEnglish);
    ASSERT_FALSE(tooLarge);
    EXPECT_NE(tooLarge.error.message.find("too large"), std::string::npos);
}

}  // namespace
}  // namespace vorlen
