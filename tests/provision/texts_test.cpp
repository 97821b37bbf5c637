// What reaches the operator's terminal and spreadsheet from outside: a
// tracker's bytes, a journal's cells, a PostgreSQL password.
#include <sstream>

#include <gtest/gtest.h>

#include "fleet/hidden_password.h"
#include "fleet/journal/history.h"
#include "fleet/journal/one_line.h"
#include "fleet/printable.h"
#include "fleet/slot_name.h"

namespace vorlen::test {
namespace {

struct Shown {
    const char* name;
    std::string given;
    std::string shown;
};

class PrintableText : public ::testing::TestWithParam<Shown> {};

// A C1 control (U+009B is CSI on some terminals) or a stray byte would
// reach the terminal as they were with a filter of C0 controls alone.
TEST_P(PrintableText, NothingOfItMovesTheCursor) {
    EXPECT_EQ(fleet::Printable(GetParam().given), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PrintableText,
    ::testing::Values(Shown{"Escape", "86\x1b[2J45", "86\\x1b[2J45"},
                      Shown{"LineEnds", "a\r\nb\tc", "a\\r\\nb\\tc"},
                      Shown{"Backslash", "a\\x1b", "a\\\\x1b"},
                      Shown{"C1Csi", "a\xc2\x9b" "2J", "a\\x9b2J"},
                      Shown{"NotUtf8", "a\xff\xc3", "a\\xff\\xc3"},
                      Shown{"Overlong", "\xc0\xaf", "\\xc0\\xaf"},
                      Shown{"ChineseStays", "车队 Li", "车队 Li"}),
    [](const auto& info) { return std::string(info.param.name); });

class DatabaseMessage : public ::testing::TestWithParam<Shown> {};

// libpq's line breaks reached the terminal as escapes, or a lone CR (the
// Windows socket texts end in CR LF) was left before the "; " to show as
// junk; one line each, and a control character that is not a line break is
// still left for Printable to escape.
TEST_P(DatabaseMessage, IsOneLineWithItsLineBreaksAsSemicolons) {
    EXPECT_EQ(fleet::OneLine(GetParam().given), GetParam().shown);
    EXPECT_EQ(fleet::Printable(fleet::OneLine(GetParam().given)).find('\\'),
              GetParam().shown.find('\x1b'));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DatabaseMessage,
    ::testing::Values(
        Shown{"ConnectionHint",
              "connection to server on socket \"/tmp/.s.PGSQL.5432\" failed: No such file or "
              "directory\n\tIs the server running locally?\n",
              "connection to server on socket \"/tmp/.s.PGSQL.5432\" failed: No such file or "
              "directory; Is the server running locally?"},
        Shown{"ServerDetailAndHint", "ERROR:  duplicate key\nDETAIL:  Key (a)=(1).\nHINT:  x\n",
              "ERROR:  duplicate key; DETAIL:  Key (a)=(1).; HINT:  x"},
        Shown{"WindowsSocketText",
              "failed: No connection could be made.\r\n (0x0000274D/10061)\r\n\tIs the "
              "server running?\r\n",
              "failed: No connection could be made.; (0x0000274D/10061); Is the server running?"},
        Shown{"LoneCarriageReturn", "a\rb \r", "a; b"},
        Shown{"EscapeStays", "a\x1b[2J\nb", "a\x1b[2J; b"},
        Shown{"OnlyBlanks", " \r\n\t", ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct Cut {
    const char* name;
    std::string line;
    std::size_t columns;
    std::string kept;
};

class CutLine : public ::testing::TestWithParam<Cut> {};

// A Chinese character takes two columns: cut by bytes or by characters, a
// Chinese board line still wraps, and cut inside a character it shows junk.
TEST_P(CutLine, FitsTheColumnsByWhatTheTerminalShows) {
    const Cut& cut = GetParam();
    EXPECT_EQ(fleet::CutToColumns(cut.line, cut.columns), cut.kept);
    EXPECT_LE(fleet::DisplayColumns(fleet::CutToColumns(cut.line, cut.columns)), cut.columns);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CutLine,
    ::testing::Values(Cut{"Fits", "slot1: done", 80, "slot1: done"},
                      Cut{"Ascii", "abcdef", 4, "abcd"},
                      Cut{"WideNotHalved", "等待追踪器", 5, "等待"},
                      Cut{"WideExactly", "等待x", 4, "等待"},
                      Cut{"Mixed", "a车b", 3, "a车"}),
    [](const auto& info) { return std::string(info.param.name); });

class ShortPort : public ::testing::TestWithParam<Shown> {};

// Two by-path names that differ in one digit in the middle of sixty
// characters were cut off alike in the slot list; the ports of a four-port
// adapter share a socket and must not read alike either.
TEST_P(ShortPort, ShowsTheSocketOrTheLastPart) {
    EXPECT_EQ(fleet::ShortPort(GetParam().given), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ShortPort,
    ::testing::Values(
        Shown{"ByPath", "/dev/serial/by-path/pci-0000:00:14.0-usb-0:1.2:1.0-port0", "USB 1.2"},
        Shown{"ByPathOtherSocket", "/dev/serial/by-path/pci-0000:00:14.0-usb-0:1.1:1.0-port0",
              "USB 1.1"},
        Shown{"RootPort", "/dev/serial/by-path/platform-xhci-hcd.0-usb-0:3:1.0", "USB 3"},
        Shown{"NewerUdev", "/dev/serial/by-path/pci-0000:00:14.0-usbv2-0:2.4:1.0-port0",
              "USB 2.4"},
        Shown{"SecondInterface", "/dev/serial/by-path/pci-0000:00:14.0-usb-0:1.2:1.1-port0",
              "USB 1.2:1.1-port0"},
        Shown{"SecondPortOfOneInterface",
              "/dev/serial/by-path/pci-0000:00:14.0-usb-0:1.2:1.0-port1", "USB 1.2:1.0-port1"},
        Shown{"KernelName", "/dev/ttyUSB0", "ttyUSB0"},
        Shown{"ById", "/dev/serial/by-id/usb-FTDI_FT232R_A1B2-if00-port0",
              "usb-FTDI_FT232R_A1B2-if00-port0"},
        Shown{"WindowsDevicePath", R"(\\.\COM12)", "COM12"},
        Shown{"ComPort", "COM3", "COM3"}),
    [](const auto& info) { return std::string(info.param.name); });

struct Slots {
    const char* name;
    std::vector<std::string> given;
    std::vector<std::string> headings;  // empty: refused
};

class SlotNames : public ::testing::TestWithParam<Slots> {};

// A path with "=" in it was taken for a name; a slot named "=PORT" had no
// name at all.
TEST_P(SlotNames, NameOrNumberThenThePortShort) {
    std::string mistake;
    const auto slots = fleet::NamedSlots(GetParam().given, mistake);
    std::vector<std::string> headings;
    for (const fleet::SlotName& slot : slots.value_or(std::vector<fleet::SlotName>{})) {
        headings.push_back(fleet::SlotHeading(slot));
    }
    EXPECT_EQ(headings, GetParam().headings);
    EXPECT_EQ(mistake.empty(), slots.has_value()) << mistake;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SlotNames,
    ::testing::Values(
        Slots{"NumberedByPlace", {"/dev/ttyUSB0", "COM3"}, {"1  ttyUSB0", "2  COM3"}},
        Slots{"Named", {"A=/dev/serial/by-path/pci-0000:00:14.0-usb-0:1.2:1.0-port0", "COM4"},
              {"A  USB 1.2", "2  COM4"}},
        Slots{"EqualsInAPath", {"/tmp/a=b/tty"}, {"1  tty"}},
        Slots{"NameWithoutPort", {"COM3", "A="}, {}},
        Slots{"PortWithoutName", {"=/dev/ttyUSB0"}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

class HiddenPassword : public ::testing::TestWithParam<Shown> {};

// Only the URI's user part was masked: a password in the query or in a
// keyword string went out in full.
TEST_P(HiddenPassword, NoFormOfItIsShown) {
    EXPECT_EQ(fleet::WithoutPasswords(GetParam().given), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HiddenPassword,
    ::testing::Values(
        Shown{"UserPart", "postgresql://vorlen:s3cr:et@db/j", "postgresql://vorlen:***@db/j"},
        Shown{"Query", "postgresql://vorlen@db/j?password=s3cret&connect_timeout=1",
              "postgresql://vorlen@db/j?password=***&connect_timeout=1"},
        Shown{"QueryAndUserPart", "postgres://u:a@db/j?password=b",
              "postgres://u:***@db/j?password=***"},
        Shown{"SslKeyPassword", "postgresql:///j?host=/run&sslpassword=k3y",
              "postgresql:///j?host=/run&sslpassword=***"},
        Shown{"Keyword", "host=db password=s3cret dbname=j", "host=db password=*** dbname=j"},
        Shown{"KeywordQuoted", "host=db password = 'se cr\\'et' dbname=j",
              "host=db password = *** dbname=j"},
        Shown{"KeywordUpperCase", "PASSWORD=s3cret", "PASSWORD=***"},
        Shown{"InAMessage", "connection to \"host=db password=s3cret\" failed",
              "connection to \"host=db password=*** failed"},
        Shown{"PortIsNoPassword", "postgresql://db:5432/j", "postgresql://db:5432/j"},
        Shown{"File", "/home/li/journal.sqlite", "/home/li/journal.sqlite"}),
    [](const auto& info) { return std::string(info.param.name); });

class CsvCell : public ::testing::TestWithParam<Shown> {};

// A spreadsheet runs a cell that starts with =, +, -, @, a tab or a CR as a
// formula ("=cmd|' /C calc'!A0" starts a program); numbers stay numbers.
TEST_P(CsvCell, AFormulaIsWrittenAsText) {
    fleet::JournalEntry row;
    row.id = 7;
    row.operatorName = GetParam().given;
    std::ostringstream csv;
    fleet::PrintCsvRow(row, csv);
    const std::string line = csv.str();
    // id, started, finished, station, then the operator.
    const std::string before = "7,,,,";
    ASSERT_TRUE(line.starts_with(before)) << line;
    EXPECT_TRUE(line.substr(before.size()).starts_with(GetParam().shown + ",")) << line;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CsvCell,
    ::testing::Values(Shown{"Equals", "=cmd|' /C calc'!A0", "'=cmd|' /C calc'!A0"},
                      Shown{"Plus", "+1+cmd", "'+1+cmd"},
                      Shown{"Minus", "-2+3", "'-2+3"},
                      Shown{"At", "@SUM(A1)", "'@SUM(A1)"},
                      Shown{"Tab", "\t=1", "'\t=1"},
                      Shown{"CarriageReturn", "\r=1", "\"'\r=1\""},
                      Shown{"NegativeNumber", "-12.5", "-12.5"},
                      Shown{"PhoneNumber", "+8613900000001", "+8613900000001"},
                      Shown{"Name", "Li", "Li"}),
    [](const auto& info) { return std::string(info.param.name); });

// --history shows what the journal holds escaped, whoever wrote it there.
TEST(HistoryTable, CellsFromTheJournalAreEscaped) {
    fleet::JournalEntry row;
    row.started = "2026-12-08T09:14:07.000Z";
    row.station = "line\x1b[2J";
    row.imei = "86\xc2\x9b" "2J";
    row.result = "done";
    std::ostringstream table;
    fleet::PrintHistoryTable({row}, fleet::UtcZone(), 0, table);
    EXPECT_EQ(table.str().find('\x1b'), std::string::npos) << table.str();
    EXPECT_EQ(table.str().find("\xc2\x9b"), std::string::npos) << table.str();
    EXPECT_NE(table.str().find("line\\x1b[2J"), std::string::npos) << table.str();
    EXPECT_NE(table.str().find("86\\x9b2J"), std::string::npos) << table.str();
}

}  // namespace
}  // namespace vorlen::test
