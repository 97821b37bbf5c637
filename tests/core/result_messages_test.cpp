#include <gtest/gtest.h>

#include "form/gbk.h"
#include "protocol/result_messages.h"

namespace vorlen {
namespace {

std::string Shown(CommandType type, bool succeeded, int language) {
    return GbkToUtf8(ResultText(type, succeeded, language));
}

TEST(ResultText, PicksTheRowAndColumnByTypeOutcomeAndLanguage) {
    EXPECT_EQ(Shown(CommandType::SetApn, false, 1), "Set APN failed!");
    EXPECT_EQ(Shown(CommandType::SetApn, false, 0), "APN设置失败!");
    EXPECT_EQ(Shown(CommandType::SetUserNumber1, true, 1),
              "Set 1th pre-stored phonenumber successfully!");
    EXPECT_EQ(Shown(CommandType::SetUserNumber9, false, 0), "第九个绑定号码设置失败!");
    EXPECT_EQ(Shown(CommandType::SetIntervalAndUpload, true, 0), "成功设置间隔时间及上传次数!");
    EXPECT_EQ(Shown(CommandType::ReadImei, true, 1), "Read IMEI successfully!");
    EXPECT_EQ(Shown(CommandType::SetAll, true, 1), "Set all config successfully!");
    EXPECT_EQ(Shown(CommandType::SetAll, true, 0), "成功设置所有配置信息!");
}

TEST(ResultText, EveryLanguageButChineseIsEnglish) {
    EXPECT_EQ(Shown(CommandType::CloseGps, true, -1), "Close GPS power successfully!");
    EXPECT_EQ(Shown(CommandType::CloseGps, true, 7), "Close GPS power successfully!");
}

TEST(ResultText, EverySingleCommandHasBothLinesInBothLanguages) {
    for (int type = 0; type <= Index(CommandType::WriteImei); ++type) {
        for (bool succeeded : {true, false}) {
            const std::string english = Shown(static_cast<CommandType>(type), succeeded, 1);
            const std::string chinese = Shown(static_cast<CommandType>(type), succeeded, 0);
            EXPECT_NE(english.find(succeeded ? "successfully!" : "failed!"), std::string::npos);
            EXPECT_NE(chinese.find(succeeded ? "成功" : "失败"), std::string::npos);
        }
    }
}

TEST(ResultText, SequencesWithoutALineOfTheirOwnAreRefused) {
    EXPECT_THROW(ResultText(CommandType::ReadConfig, true, 1), std::invalid_argument);
    EXPECT_THROW(ResultText(CommandType::SetAll, false, 1), std::invalid_argument);
}

}  // namespace
}  // namespace vorlen
