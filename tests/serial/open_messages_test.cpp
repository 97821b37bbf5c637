#include <gtest/gtest.h>

#include "model/bilingual.h"
#include "serial/open_messages.h"

namespace vorlen {
namespace {

TEST(OpenResultText, NamesThePortInEitherLanguage) {
    const struct {
        bool opened;
        int language;
        const char* text;
    } cases[] = {
        {true, kEnglish, "Init and Open /dev/ttyUSB0 Success!"},
        {false, kEnglish, "Open /dev/ttyUSB0 Failed!"},
        {false, -1, "Open /dev/ttyUSB0 Failed!"},
        // GBK: 初始化并打开 ... 成功! and 打开 ... 失败!
        {true, kChinese,
         "\xB3\xF5\xCA\xBC\xBB\xAF\xB2\xA2\xB4\xF2\xBF\xAA/dev/ttyUSB0\xB3\xC9\xB9\xA6!"},
        {false, kChinese, "\xB4\xF2\xBF\xAA/dev/ttyUSB0\xCA\xA7\xB0\xDC!"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OpenResultText("/dev/ttyUSB0", c.opened, c.language), c.text)
            << c.opened << ' ' << c.language;
    }
}

TEST(OpenResultText, TakesTheNameLiterally) {
    EXPECT_EQ(OpenResultText("COM%s%d", false, kEnglish), "Open COM%s%d Failed!");
    EXPECT_EQ(OpenResultText("", true, kEnglish), "Init and Open  Success!");
}

}  // namespace
}  // namespace vorlen
