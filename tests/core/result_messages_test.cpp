#include <gtest/gtest.h>

#include "model/gbk.h"
#include "protocol/result_messages.h"

namespace vorlen {
namespace {

std::string Shown(CommandType type, bool succeeded, int language) {
    return GbkToUtf8(ResultText(type, succeeded, language));
}

// The other lines are checked byte for byte where the actions report them.
TEST(ResultText, PicksTheRowAndColumnByTypeOutcomeAndLanguage) {
    const struct {
        CommandType type;
        bool succeeded;
        int language;
        const char* text;
    } cases[] = {
        {CommandType::SetApn, false, 0, "APN设置失败!"},
        {CommandType::SetUserNumber1, true, 1, "Set 1th pre-stored phonenumber successfully!"},
        {CommandType::SetUserNumber9, false, 0, "第九个绑定号码设置失败!"},
        {CommandType::SetIntervalAndUpload, true, 0, "成功设置间隔时间及上传次数!"},
        // Every language but Chinese is English.
        {CommandType::CloseGps, true, -1, "Close GPS power successfully!"},
        {CommandType::CloseGps, true, 7, "Close GPS power successfully!"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Shown(c.type, c.succeeded, c.language), c.text);
    }
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
    EXPECT_THROW(ResultText(CommandType::ReadConfig, true, 1), std::invalid_argument);
    EXPECT_THROW(ResultText(CommandType::SetAll, false, 1), std::invalid_argument);
}

}  // namespace
}  // namespace vorlen
