#include <gtest/gtest.h>

#include "fakes.h"
#include "protocol/commands.h"

namespace vorlen {
namespace {

using testing::FilledForm;

constexpr Selections kSelections{.workingMode = kModeLongGprs, .warningType = 3,
                                 .baseStationCount = 7, .fenceType = kCustomFence,
                                 .northSouth = 0, .eastWest = 1};

TEST(BuildCommand, EveryTypeGivesItsExactBytesWithTextsUnchanged) {
    std::vector<std::pair<CommandType, std::string>> cases = {
        {CommandType::SetCenterNumber, "AT+OPENAT=710, 10086;\r\n"},  // not trimmed
        {CommandType::SetSystemMode, "AT+OPENAT=70,3;\r\n"},
        {CommandType::SetWarningType, "AT+OPENAT=720,3;\r\n"},
        {CommandType::SetIntervalAndUpload, "AT+OPENAT=730,30,5;\r\n"},
        {CommandType::SetElectricFence, "AT+OPENAT=760,;\r\n"},
        {CommandType::SetUserPassword, "AT+OPENAT=770,1234;\r\n"},
        {CommandType::SetBaseStationNumber, "AT+OPENAT=780,7;\r\n"},
        {CommandType::SetUserId, "AT+OPENAT=801,ID42;\r\n"},
        {CommandType::SetApn, "AT+OPENAT=802,cmnet,user,pass;\r\n"},
        {CommandType::SetIpAndPort, "AT+OPENAT=803,10.0.0.1,8080;\r\n"},
        {CommandType::ResetConfig, "AT+OPENAT=999,;\r\n"},
        {CommandType::OpenGps, "AT+OPENAT=221,;\r\n"},
        {CommandType::CloseGps, "AT+OPENAT=231,;\r\n"},
        {CommandType::ReadImei, "AT+EGMR=0,7\r\n"},
        {CommandType::WriteImei, "AT+EGMR=1,7,\"351234567890123\"\r\n"},
    };
    for (int slot = 1; slot <= 9; ++slot) {  // slot 5 is empty
        const std::string number = slot == 5 ? "" : "1380013800" + std::to_string(slot);
        cases.emplace_back(SetUserNumber(slot),
                           "AT+OPENAT=711," + std::to_string(slot) + "," + number + ";\r\n");
    }
    for (const auto& [type, bytes] : cases) {
        TrackerForm form = FilledForm();
        EXPECT_EQ(BuildCommand(type, form, kSelections), bytes) << "type " << Index(type);
    }
    TrackerForm form;
    form.apn = "%s%d,;";        // a percent sign is not a placeholder in a text
    form.apnUser = "\xD6\xD0";  // GBK bytes pass through as they are
    EXPECT_EQ(BuildCommand(CommandType::SetApn, form, {}), "AT+OPENAT=802,%s%d,;,\xD6\xD0,;\r\n");
    EXPECT_THROW(BuildCommand(CommandType::ReadConfig, form, {}), std::invalid_argument);
    EXPECT_THROW(BuildCommand(CommandType::SetAll, form, {}), std::invalid_argument);
}

TEST(BuildCommand, NothingSelectedSendsMinusOne) {
    TrackerForm form;
    for (auto [type, bytes] : {std::pair{CommandType::SetSystemMode, "AT+OPENAT=70,-1;\r\n"},
                               {CommandType::SetWarningType, "AT+OPENAT=720,-1;\r\n"},
                               {CommandType::SetBaseStationNumber, "AT+OPENAT=780,-1;\r\n"}}) {
        EXPECT_EQ(BuildCommand(type, form, Selections{}), bytes);
    }
}

TEST(BuildCommand, IntervalSendsTheUploadCountOnlyInTheGprsConnectModes) {
    for (int mode : {-1, kModeP2P, kModeP2S, kModeCustomGprs, kModeLongGprs, kModePowerSaving}) {
        TrackerForm form = FilledForm();
        form.uploadCount = "5\t";
        const bool gprs = mode == kModeCustomGprs || mode == kModeLongGprs;
        EXPECT_EQ(BuildCommand(CommandType::SetIntervalAndUpload, form, {.workingMode = mode}),
                  gprs ? "AT+OPENAT=730,30,5;\r\n" : "AT+OPENAT=730,30,1;\r\n")
            << mode;
        EXPECT_EQ(form.intervalTime, "30");  // trimmed on the record itself
        EXPECT_EQ(form.uploadCount, "5");
    }
}

TEST(BuildCommand, FenceByCheckBoxAndType) {
    TrackerForm form = FilledForm();
    Selections s{.fenceType = kCustomFence, .northSouth = 0, .eastWest = 0};
    EXPECT_EQ(FenceCommand(form, s), "AT+OPENAT=760,;\r\n");
    EXPECT_EQ(form.fenceRadius, " 500");  // fence off reads and trims nothing

    form.fenceEnabled = 1;
    s.fenceType = kCircleFence;
    EXPECT_EQ(FenceCommand(form, s), "AT+OPENAT=750,500,10;\r\n");
    EXPECT_EQ(form.latitude, " 2232.1234");  // the circle fence leaves the coordinates alone

    s.fenceType = kCustomFence;
    EXPECT_EQ(FenceCommand(form, s), "AT+OPENAT=751,500,10,11403.5678,E,2232.1234,N;\r\n");
    EXPECT_EQ(form.latitude, "2232.1234");
    EXPECT_EQ(form.longitude, "11403.5678");

    s.northSouth = -1;  // anything but the first entry means S and W
    s.eastWest = -1;
    EXPECT_EQ(FenceCommand(form, s), "AT+OPENAT=751,500,10,11403.5678,W,2232.1234,S;\r\n");
    s.northSouth = 1;
    EXPECT_EQ(BuildCommand(CommandType::SetElectricFence, form, s),
              "AT+OPENAT=751,500,10,11403.5678,W,2232.1234,S;\r\n");

    s.fenceType = -1;
    EXPECT_EQ(FenceCommand(form, s), std::nullopt);
    EXPECT_EQ(BuildCommand(CommandType::SetElectricFence, form, s), std::nullopt);
}

TEST(ExtractImei, TakesTheTextBetweenTheFirstTwoQuotes) {
    const struct {
        const char* reply;
        const char* imei;
    } cases[] = {
        {"AT+EGMR=0,7\r\n+EGMR: \"351234567890123\"\r\n\r\nOK\r\n", "351234567890123"},
        {"OK", ""},                                              // no quote at all
        {"+EGMR: \"3512\r\nOK", ""},                             // only one quote
        {"\"\"OK", ""},                                          // adjacent quotes
        {"a\"1\"b\"2\"", "1"},                                   // the first pair wins
        {"\"12345678901234567890123\"", "1234567890123456789"},  // cut to 19
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtractImei(c.reply), c.imei) << c.reply;
    }
}

}  // namespace
}  // namespace vorlen
