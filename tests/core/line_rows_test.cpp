#include <gtest/gtest.h>

#include "model/bilingual.h"
#include "model/gbk.h"
#include "protocol/line_rows.h"

namespace vorlen {
namespace {

using namespace std::chrono_literals;

LineEntry Entry(LineDirection direction, std::string bytes, std::chrono::milliseconds time = 0ms) {
    LineEntry entry;
    entry.direction = direction;
    entry.bytes = std::move(bytes);
    entry.time = time;
    return entry;
}

TEST(LineRow, ShowsTimeDirectionAndTheBytesAsVisibleText) {
    const auto W = LineDirection::Written;
    const auto R = LineDirection::Received;
    const struct {
        LineEntry entry;
        std::string row;
    } cases[] = {
        {Entry(W, "AT+OPENAT=710,123;\r\n", 52ms), "   0.052 -> AT+OPENAT=710,123;\\r\\n"},
        {Entry(R, "\r\nOK\r\n", 12345ms), "  12.345 <- \\r\\nOK\\r\\n"},
        {Entry(R, "x", 100000005ms), "100000.005 <- x"},
        {Entry(R, std::string("\t\0\x1b\x7f\\", 5)), "   0.000 <- \\t\\x00\\x1b\\x7f\\\\"},
        {Entry(R, GbkOf("设置成功#版本V1.0")), "   0.000 <- 设置成功#版本V1.0"},
        {Entry(R, GbkOf("€")), "   0.000 <- €"},
        // Not GBK: 0xFF anywhere, a lead byte with no valid trail byte, an
        // unassigned pair, a lead byte cut off at the end of the entry.
        {Entry(R, "\xff\xff"), "   0.000 <- \\xff\\xff"},
        {Entry(R, "\x81\x7f" "A"), "   0.000 <- \\x81\\x7fA"},
#ifndef _WIN32  // Windows' code page 936 gives the user-defined area private-use characters
        {Entry(R, "\xa2\xa0!"), "   0.000 <- \\xa2\\xa0!"},
#endif
        {Entry(R, GbkOf("中") + "\xd6"), "   0.000 <- 中\\xd6"},
        {Entry(R, "\xd6" "AB"), "   0.000 <- 諥B"},
        {Entry(R, ""), "   0.000 <-"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LineRow(c.entry), c.row);
    }
}

TEST(LineRow, TellsWhatTheRecordDidNotKeepAndWhatTheLineDidNotTake) {
    LineEntry cut = Entry(LineDirection::Received, "0123");
    cut.notKept = 5000;
    EXPECT_EQ(LineRow(cut), "   0.000 <- 0123 [5000 bytes more, not kept]");
    LineEntry refused = Entry(LineDirection::Written, "");
    refused.notWritten = 1;
    EXPECT_EQ(LineRow(refused), "   0.000 -> [1 byte not written]");
    LineEntry shortWrite = Entry(LineDirection::Written, "AT+");
    shortWrite.notWritten = 12;
    EXPECT_EQ(LineRow(shortWrite), "   0.000 -> AT+ [12 bytes not written]");
}

TEST(LineRow, TheRecordAsATextFileHasOneLinePerEntry) {
    LineRecord record([] { return std::chrono::steady_clock::time_point{}; }, 2);
    EXPECT_EQ(LineRecordText(record, kEnglish), "");
    record.Append(LineDirection::Written, "AT+ESLP=0\r\n");
    record.Append(LineDirection::Received, "\r\nOK\r\n");
    const std::string rows = "   0.000 -> AT+ESLP=0\\r\\n\n   0.000 <- \\r\\nOK\\r\\n\n";
    EXPECT_EQ(LineRecordText(record, kEnglish), rows);
    // A full record says so: a saved log must not pass for the whole session.
    record.Append(LineDirection::Written, "AT+ESLP=0\r\n");
    record.Append(LineDirection::Received, "\r\nOK\r\n");
    record.Append(LineDirection::Written, "AT+ESLP=0\r\n");
    record.Append(LineDirection::Received, "\r\nOK\r\n");
    EXPECT_EQ(LineRecordText(record, kEnglish),
              "(4 older entries were dropped: the monitor keeps the newest 2.)\n" + rows);
    EXPECT_EQ(LineRecordText(record, kChinese).substr(0, 11), "(已丢弃4");
    // What Clear took was the operator's choice, not a loss.
    record.Clear();
    record.Append(LineDirection::Written, "AT+ESLP=0\r\n");
    EXPECT_EQ(LineRecordText(record, kEnglish), "   0.000 -> AT+ESLP=0\\r\\n\n");
}

}  // namespace
}  // namespace vorlen
