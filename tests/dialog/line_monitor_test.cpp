// The line monitor's behaviour without a toolkit: LineMonitor against a
// recording monitor window. The windows' own suites drive the real controls.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "dialog/line_monitor.h"
#include "model/bilingual.h"
#include "protocol/line_rows.h"
#include "recording_window.h"

namespace vorlen::testing {
namespace {

std::string FileText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return (std::stringstream() << file.rdbuf()).str();
}

// A cancelled save box writes nothing and leaves the last outcome shown; a
// new language takes the outcome away with the old captions.
TEST(LineMonitorController, SaveCancelledOrDoneAndTheLanguageAfterIt) {
    LineRecord record;
    RecordingMonitorWindow window;
    LineMonitor monitor(record, window);
    monitor.SetLanguage(kChinese);
    record.Append(LineDirection::Written, "AT+ESLP=0\r\n");

    const std::filesystem::path file =
        std::filesystem::path(::testing::TempDir()) / "line_monitor_controller.txt";
    std::filesystem::remove(file);
    window.savePath = file;
    monitor.Press(kMonitorSave);
    EXPECT_EQ(window.texts[kMonitorSaveResult], "已保存为 " + file.string());
    EXPECT_EQ(FileText(file), LineRecordText(record, kChinese));

    window.savePath.reset();
    monitor.Press(kMonitorSave);
    EXPECT_EQ(window.texts[kMonitorSaveResult], "已保存为 " + file.string());

    monitor.SetLanguage(kEnglish);
    EXPECT_EQ(window.texts[kMonitorSaveResult], "");
    EXPECT_EQ(window.texts[kMonitorTitle], "Line Monitor");
    std::filesystem::remove(file);
}

// Copy All hands out the whole record with the note of what a flood pushed
// out, while the rows go on from the newest one shown; Clear empties both.
TEST(LineMonitorController, CopyAllRefreshAndClear) {
    LineRecord record(std::chrono::steady_clock::now, 2);
    RecordingMonitorWindow window;
    LineMonitor monitor(record, window);
    for (const char* reply : {"1", "2", "3"}) {
        record.Append(LineDirection::Received, reply);
    }
    monitor.Refresh();
    monitor.Refresh();
    ASSERT_EQ(window.rows.size(), 2u);
    EXPECT_TRUE(window.rows[1].ends_with(" <- 3"));

    monitor.Press(kMonitorCopyAll);
    EXPECT_TRUE(window.clipboard.starts_with("(1 older entries were dropped"));
    monitor.Press(kMonitorClear);
    EXPECT_TRUE(window.rows.empty());
    EXPECT_TRUE(record.Since(0).empty());
    monitor.Press(kMonitorRows);  // not a button
    record.Append(LineDirection::Written, "4");
    monitor.Refresh();
    ASSERT_EQ(window.rows.size(), 1u);
    EXPECT_TRUE(window.rows[0].ends_with(" -> 4"));
}

}  // namespace
}  // namespace vorlen::testing
