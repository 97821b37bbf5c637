#include <gtest/gtest.h>

#include "protocol/commands.h"

namespace vorlen {
namespace {

TrackerForm RepresentativeForm() {
    TrackerForm form;
    for (int slot = 1; slot <= 9; ++slot) {
        UserNumber(form, slot) = "1380013800" + std::to_string(slot);
    }
    form.centerNumber = "+8613900000000";
    form.intervalTime = "30";
    form.uploadCount = "5";
    form.userPassword = "1234";
    form.userId = "ID42";
    form.apn = "cmnet";
    form.apnUser = "user";
    form.apnPassword = "pass";
    form.serverIp = "10.0.0.7";
    form.serverPort = "9000";
    form.imei = "351234567890123";
    form.fenceEnabled = 1;
    form.fenceRadius = "500";
    form.fenceInterval = "10";
    form.latitude = "2232.1234";
    form.longitude = "11403.5678";
    return form;
}

Selections RepresentativeSelections() {
    Selections s;
    s.workingMode = kModeLongGprs;
    s.warningType = 3;
    s.baseStationCount = 7;
    s.fenceType = kCustomFence;
    s.northSouth = 0;
    s.eastWest = 1;
    return s;
}

TEST(BuildCommand, EveryTypeGivesItsExactBytes) {
    const struct {
        CommandType type;
        const char* bytes;
    } cases[] = {
        {CommandType::SetUserNumber1, "AT+OPENAT=711,1,13800138001;\r\n"},
        {CommandType::SetUserNumber2, "AT+OPENAT=711,2,13800138002;\r\n"},
        {CommandType::SetUserNumber3, "AT+OPENAT=711,3,13800138003;\r\n"},
        {CommandType::SetUserNumber4, "AT+OPENAT=711,4,13800138004;\r\n"},
        {CommandType::SetUserNumber5, "AT+OPENAT=711,5,13800138005;\r\n"},
        {CommandType::SetUserNumber6, "AT+OPENAT=711,6,13800138006;\r\n"},
        {CommandType::SetUserNumber7, "AT+OPENAT=711,7,13800138007;\r\n"},
        {CommandType::SetUserNumber8, "AT+OPENAT=711,8,13800138008;\r\n"},
        {CommandType::SetUserNumber9, "AT+OPENAT=711,9,13800138009;\r\n"},
        {CommandType::SetCenterNumber, "AT+OPENAT=710,+8613900000000;\r\n"},
        {CommandType::SetSystemMode, "AT+OPENAT=70,3;\r\n"},
        {CommandType::SetWarningType, "AT+OPENAT=720,3;\r\n"},
        {CommandType::SetIntervalAndUpload, "AT+OPENAT=730,30,5;\r\n"},
        {CommandType::SetElectricFence, "AT+OPENAT=751,500,10,11403.5678,W,2232.1234,N;\r\n"},
        {CommandType::SetUserPassword, "AT+OPENAT=770,1234;\r\n"},
        {CommandType::SetBaseStationNumber, "AT+OPENAT=780,7;\r\n"},
        {CommandType::SetUserId, "AT+OPENAT=801,ID42;\r\n"},
        {CommandType::SetApn, "AT+OPENAT=802,cmnet,user,pass;\r\n"},
        {CommandType::SetIpAndPort, "AT+OPENAT=803,10.0.0.7,9000;\r\n"},
        {CommandType::ResetConfig, "AT+OPENAT=999,;\r\n"},
        {CommandType::OpenGps, "AT+OPENAT=221,;\r\n"},
        {CommandType::CloseGps, "AT+OPENAT=231,;\r\n"},
        {CommandType::ReadImei, "AT+EGMR=0,7\r\n"},
        {CommandType::WriteImei, "AT+EGMR=1,7,\"351234567890123\"\r\n"},
    };
    for (const auto& c : cases) {
        TrackerForm form = RepresentativeForm();
        EXPECT_EQ(BuildCommand(c.type, form, RepresentativeSelections()), c.bytes)
            << "type " << Index(c.type);
    }
}

TEST(BuildCommand, SequencesHaveNoCommandText) {
    TrackerForm form;
    EXPECT_THROW(BuildCommand(CommandType::ReadConfig, form, {}), std::invalid_argument);
    EXPECT_THROW(BuildCommand(CommandType::SetAll, form, {}), std::invalid_argument);
}

TEST(BuildCommand, TextsGoOutUnchanged) {
    TrackerForm form;
    form.userNumber4 = "13800138000";
    EXPECT_EQ(BuildCommand(CommandType::SetUserNumber4, form, {})->size(), 30u);
    form.userNumber1 = "";
    EXPECT_EQ(BuildCommand(CommandType::SetUserNumber1, form, {}), "AT+OPENAT=711,1,;\r\n");
    form.centerNumber = " 123 ";
    EXPECT_EQ(BuildCommand(CommandType::SetCenterNumber, form, {}), "AT+OPENAT=710, 123 ;\r\n");
    form.apn = "%s%d,;";  // a percent sign is not a placeholder in a text
    form.apnUser = "\xD6\xD0";  // GBK bytes pass through as they are
    EXPECT_EQ(BuildCommand(CommandType::SetApn, form, {}), "AT+OPENAT=802,%s%d,;,\xD6\xD0,;\r\n");
}

TEST(BuildCommand, NothingSelectedSendsMinusOne) {
    TrackerForm form;
    const Selections none;
    EXPECT_EQ(BuildCommand(CommandType::SetSystemMode, form, none), "AT+OPENAT=70,-1;\r\n");
    EXPECT_EQ(BuildCommand(CommandType::SetWarningType, form, none), "AT+OPENAT=720,-1;\r\n");
    EXPECT_EQ(BuildCommand(CommandType::SetBaseStationNumber, form, none), "AT+OPENAT=780,-1;\r\n");
}

TEST(BuildCommand, IntervalSendsTheUploadCountOnlyInTheGprsConnectModes) {
    const struct {
        int mode;
        const char* bytes;
    } cases[] = {
        {-1, "AT+OPENAT=730,30,1;\r\n"},
        {kModeP2P, "AT+OPENAT=730,30,1;\r\n"},
        {kModeP2S, "AT+OPENAT=730,30,1;\r\n"},
        {kModeCustomGprs, "AT+OPENAT=730,30,5;\r\n"},
        {kModeLongGprs, "AT+OPENAT=730,30,5;\r\n"},
        {kModePowerSaving, "AT+OPENAT=730,30,1;\r\n"},
    };
    for (const auto& c : cases) {
        TrackerForm form;
        form.intervalTime = " 30 ";
        form.uploadCount = "5\t";
        Selections s;
        s.workingMode = c.mode;
        EXPECT_EQ(BuildCommand(CommandType::SetIntervalAndUpload, form, s), c.bytes) << c.mode;
        EXPECT_EQ(form.intervalTime, "30");  // trimmed on the record itself
        EXPECT_EQ(form.uploadCount, "5");
    }
}

TEST(BuildCommand, FenceByCheckBoxAndType) {
    TrackerForm form = RepresentativeForm();
    form.fenceRadius = " 500 ";
    form.fenceInterval = "10 ";
    form.latitude = " 2232.1234";
    form.longitude = "11403.5678\t";
    Selections s;
    s.northSouth = 0;
    s.eastWest = 0;

    form.fenceEnabled = 0;
    s.fenceType = kCustomFence;
    EXPECT_EQ(FenceCommand(form, s), "AT+OPENAT=760,;\r\n");
    EXPECT_EQ(form.fenceRadius, " 500 ");  // fence off reads and trims nothing

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
        {"OK", ""},                       // no quote at all
        {"+EGMR: \"3512\r\nOK", ""},      // only one quote
        {"\"\"OK", ""},                   // adjacent quotes
        {"a\"1\"b\"2\"", "1"},            // the first pair wins
        {"\"12345678901234567890123\"", "1234567890123456789"},  // cut to 19
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtractImei(c.reply), c.imei) << c.reply;
    }
}

}  // namespace
}  // namespace vorlen
