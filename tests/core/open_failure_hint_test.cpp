#include <gtest/gtest.h>

#include "model/bilingual.h"
#include "serial/open_failure_hint.h"
#include "serial/open_messages.h"

namespace vorlen {
namespace {

constexpr const char* kFailedEnglish = "Open /dev/ttyUSB0 Failed!";
constexpr const char* kFailedChinese = "\xB4\xF2\xBF\xAA/dev/ttyUSB0\xCA\xA7\xB0\xDC!";

struct HintCase {
    OpenFailure why;
    int language;
    const char* hint;
};

const HintCase kHintCases[] = {
    {{OpenFailureKind::NoPermission, "Permission denied", "uucp"}, kEnglish,
     "No permission to use this port. Add your user to the group uucp "
     "(sudo usermod -aG uucp $USER), then log out and in again."},
    // The device's group unknown: the usual one.
    {{OpenFailureKind::NoPermission, "Permission denied", ""}, kEnglish,
     "No permission to use this port. Add your user to the group dialout "
     "(sudo usermod -aG dialout $USER), then log out and in again."},
    // 没有使用此端口的权限。请将用户加入 dialout 组（sudo usermod -aG dialout $USER），然后注销并重新登录。
    {{OpenFailureKind::NoPermission, "Permission denied", "dialout"}, kChinese,
     "\xC3\xBB\xD3\xD0\xCA\xB9\xD3\xC3\xB4\xCB\xB6\xCB\xBF\xDA\xB5\xC4\xC8\xA8\xCF\xDE\xA1\xA3"
     "\xC7\xEB\xBD\xAB\xD3\xC3\xBB\xA7\xBC\xD3\xC8\xEB dialout \xD7\xE9\xA3\xA8"
     "sudo usermod -aG dialout $USER\xA3\xA9\xA3\xAC"
     "\xC8\xBB\xBA\xF3\xD7\xA2\xCF\xFA\xB2\xA2\xD6\xD8\xD0\xC2\xB5\xC7\xC2\xBC\xA1\xA3"},
    {{OpenFailureKind::InUse, "Device or resource busy", ""}, kEnglish,
     "Another program is using this port. Close that program, then pick the port again."},
    // 此端口正被其他程序占用。请关闭该程序，然后重新选择端口。
    {{OpenFailureKind::InUse, "Device or resource busy", ""}, kChinese,
     "\xB4\xCB\xB6\xCB\xBF\xDA\xD5\xFD\xB1\xBB\xC6\xE4\xCB\xFB\xB3\xCC\xD0\xF2\xD5\xBC\xD3\xC3"
     "\xA1\xA3\xC7\xEB\xB9\xD8\xB1\xD5\xB8\xC3\xB3\xCC\xD0\xF2\xA3\xAC\xC8\xBB\xBA\xF3\xD6\xD8"
     "\xD0\xC2\xD1\xA1\xD4\xF1\xB6\xCB\xBF\xDA\xA1\xA3"},
    {{OpenFailureKind::NoDevice, "No such file or directory", ""}, kEnglish,
     "The device is not there (any more). Plug the cable in, then pick the port again."},
    // 设备不存在（或已拔出）。请插好数据线，然后重新选择端口。
    {{OpenFailureKind::NoDevice, "No such file or directory", ""}, kChinese,
     "\xC9\xE8\xB1\xB8\xB2\xBB\xB4\xE6\xD4\xDA\xA3\xA8\xBB\xF2\xD2\xD1\xB0\xCE\xB3\xF6\xA3\xA9"
     "\xA1\xA3\xC7\xEB\xB2\xE5\xBA\xC3\xCA\xFD\xBE\xDD\xCF\xDF\xA3\xAC\xC8\xBB\xBA\xF3\xD6\xD8"
     "\xD0\xC2\xD1\xA1\xD4\xF1\xB6\xCB\xBF\xDA\xA1\xA3"},
    {{OpenFailureKind::Other, "Input/output error", ""}, kEnglish,
     "The system says: Input/output error"},
    // 系统提示：Input/output error
    {{OpenFailureKind::Other, "Input/output error", ""}, kChinese,
     "\xCF\xB5\xCD\xB3\xCC\xE1\xCA\xBE\xA3\xBAInput/output error"},
    // The system's text is taken literally, marks and all.
    {{OpenFailureKind::Other, "odd %s text", ""}, kEnglish, "The system says: odd %s text"},
};

class OpenFailureHintTable : public ::testing::TestWithParam<HintCase> {};

TEST_P(OpenFailureHintTable, SaysWhyAndWhatToDoBelowTheUnchangedFailureLine) {
    const HintCase& c = GetParam();
    EXPECT_EQ(OpenFailureHint(c.why, c.language), c.hint);

    const std::string firstLine = OpenResultText("/dev/ttyUSB0", false, c.language);
    ASSERT_EQ(firstLine, c.language == kChinese ? kFailedChinese : kFailedEnglish);
    EXPECT_EQ(WithOpenFailureHint(firstLine, c.why, c.language),
              firstLine + "\n" + c.hint);
}

INSTANTIATE_TEST_SUITE_P(EveryReason, OpenFailureHintTable, ::testing::ValuesIn(kHintCases));

}  // namespace
}  // namespace vorlen
