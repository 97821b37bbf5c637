#include "fleet/journal/history.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

#include "fleet/journal/schema.h"
#include "fleet/journal_time.h"
#include "fleet/printable.h"

namespace vorlen::fleet {
namespace {

using Field = std::string JournalEntry::*;

struct TableColumn {
    const char* heading;
    Field field;  // null: the failed step
};

// The failure last: it is the longest, and what a narrow terminal cuts.
constexpr std::array<TableColumn, 9> kTable{{
    {"started", &JournalEntry::started},
    {"station", &JournalEntry::station},
    {"operator", &JournalEntry::operatorName},
    {"lot", &JournalEntry::lot},
    {"IMEI", &JournalEntry::imei},
    {"mode", &JournalEntry::mode},
    {"result", &JournalEntry::result},
    {"step", nullptr},
    {"failure", &JournalEntry::failure},
}};

// Characters, not bytes: a Chinese operator's name is as wide as it looks,
// near enough.
std::size_t Width(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string Cell(const JournalEntry& row, const TableColumn& column, const Zone& zone) {
    if (column.field == nullptr) {
        return row.failedStep > 0 ? std::to_string(row.failedStep) : "";
    }
    if (column.field == &JournalEntry::result && row.finished.empty()) {
        return std::string(schema::kUnfinished);
    }
    if (column.field == &JournalEntry::started) {
        return WallText(row.started, zone);
    }
    return Printable(row.*column.field);
}

// The first `width` characters of the line (whole UTF-8 sequences).
std::string Cut(const std::string& line, std::size_t width) {
    std::size_t characters = 0;
    for (std::size_t at = 0; at < line.size(); ++at) {
        const bool starts = (static_cast<unsigned char>(line[at]) & 0xC0) != 0x80;
        if (starts && ++characters > width) {
            return line.substr(0, at);
        }
    }
    return line;
}

void PrintLine(const std::vector<std::string>& cells, const std::vector<std::size_t>& widths,
               std::size_t width, std::ostream& out) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        line += cells[i];
        if (i + 1 < cells.size()) {
            line += std::string(widths[i] - Width(cells[i]) + 2, ' ');
        }
    }
    out << (width > 0 ? Cut(line, width) : line) << '\n';
}

// "-12.5", "+8613900000001": a number a spreadsheet reads as one.
bool IsPlainNumber(std::string_view text) {
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    const auto digits = [](std::string_view part) {
        return part.find_first_not_of("0123456789") == std::string_view::npos;
    };
    return whole.size() + fraction.size() > 0 && digits(whole) && digits(fraction);
}

// A cell a spreadsheet would run as a formula ("=cmd|' /C calc'!A0", a
// tracker's user ID "@SUM(...)") is shown as text: an apostrophe goes before
// it, as a spreadsheet's own "text" cells have it.
std::string AsText(std::string value) {
    constexpr std::string_view kFormulaStarts = "=+-@\t\r";
    if (!value.empty() && kFormulaStarts.find(value[0]) != std::string_view::npos &&
        !IsPlainNumber(value)) {
        value.insert(0, 1, '\'');
    }
    return value;
}

std::string CsvField(const std::string& value) {
    if (value.find_first_of(",\"\r\n") == std::string::npos) {
        return value;
    }
    std::string quoted = "\"";
    for (char c : value) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

}  // namespace

void PrintHistoryTable(const std::vector<JournalEntry>& rows, const Zone& zone, std::size_t width,
                       std::ostream& out) {
    std::vector<std::vector<std::string>> lines(1);
    std::vector<std::size_t> widths;
    for (const TableColumn& column : kTable) {
        lines[0].push_back(column.heading);
        widths.push_back(Width(column.heading));
    }
    for (const JournalEntry& row : rows) {
        std::vector<std::string>& cells = lines.emplace_back();
        for (std::size_t i = 0; i < kTable.size(); ++i) {
            cells.push_back(Cell(row, kTable[i], zone));
            widths[i] = std::max(widths[i], Width(cells.back()));
        }
    }
    for (const std::vector<std::string>& cells : lines) {
        PrintLine(cells, widths, width, out);
    }
    out.flush();
}

void PrintCsvHeader(std::ostream& out) {
    out << "id";
    for (const schema::Column& column : schema::kColumns) {
        out << ',' << column.name;
    }
    out << "\r\n";
}

// Column by column, straight from the row: an export of a million rows
// makes no copy of them.
void PrintCsvRow(const JournalEntry& row, std::ostream& out) {
    std::string line = std::to_string(row.id);
    for (const schema::Column& column : schema::kColumns) {
        line += ',';
        if (const auto* text = std::get_if<std::string JournalEntry::*>(&column.member)) {
            line += CsvField(AsText(row.**text));
        } else if (const auto* whole = std::get_if<int JournalEntry::*>(&column.member)) {
            line += row.**whole == 0 ? std::string() : std::to_string(row.**whole);
        } else {
            char digits[32];
            std::snprintf(digits, sizeof digits, "%.3f",
                          row.*std::get<double JournalEntry::*>(column.member));
            line += digits;
        }
    }
    out << line << "\r\n";
}

}  // namespace vorlen::fleet
