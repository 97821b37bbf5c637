#include "protocol/line_rows.h"

#include <array>
#include <cstdio>
#include <string_view>

#include "model/gbk.h"
#include "model/line_monitor_texts.h"

namespace vorlen {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

struct Escape {
    char byte;
    std::string_view text;
};

constexpr std::array kEscapes{
    Escape{'\r', "\\r"},
    Escape{'\n', "\\n"},
    Escape{'\t', "\\t"},
    Escape{'\\', "\\\\"},
};

void AppendHex(unsigned char byte, std::string& row) {
    char hex[5];
    std::snprintf(hex, sizeof hex, "\\x%02x", byte);
    row += hex;
}

// A single-byte character: printable ASCII as it is, the rest escaped.
void AppendAscii(char c, std::string& row) {
    for (const Escape& escape : kEscapes) {
        if (escape.byte == c) {
            row += escape.text;
            return;
        }
    }
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) {
        AppendHex(byte, row);
    } else {
        row += c;
    }
}

bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xfe; }
bool IsTrailByte(unsigned char byte) { return byte >= 0x40 && byte <= 0xfe && byte != 0x7f; }

// The UTF-8 of one GBK character, or nothing when these bytes are none.
std::string Decoded(std::string_view character) {
    std::string utf8 = GbkToUtf8(character);
    return utf8.find(kReplacement) == std::string::npos ? utf8 : std::string();
}

// Appends the character at `at` and returns the number of bytes it took. A
// lead byte whose character is not there (cut off at the end of the entry,
// or an unassigned code) is shown in hex, and the byte after it is looked at
// afresh.
std::size_t AppendCharacter(std::string_view bytes, std::size_t at, std::string& row) {
    const auto byte = static_cast<unsigned char>(bytes[at]);
    if (byte < 0x80) {
        AppendAscii(bytes[at], row);
        return 1;
    }
    if (IsLeadByte(byte) && at + 1 < bytes.size() &&
        IsTrailByte(static_cast<unsigned char>(bytes[at + 1]))) {
        if (const std::string text = Decoded(bytes.substr(at, 2)); !text.empty()) {
            row += text;
            return 2;
        }
    }
    if (const std::string text = Decoded(bytes.substr(at, 1)); !text.empty()) {
        row += text;  // the euro sign of code page 936
    } else {
        AppendHex(byte, row);
    }
    return 1;
}

void AppendTime(std::chrono::milliseconds time, std::string& row) {
    char text[32];
    std::snprintf(text, sizeof text, "%4lld.%03lld", static_cast<long long>(time.count() / 1000),
                  static_cast<long long>(time.count() % 1000));
    row += text;
}

void AppendCount(std::size_t count, std::string_view what, std::string& row) {
    row += " [" + std::to_string(count) + (count == 1 ? " byte " : " bytes ");
    row += what;
    row += ']';
}

}  // namespace

std::string EscapedText(std::string_view bytes) {
    std::string text;
    for (std::size_t at = 0; at < bytes.size();) {
        at += AppendCharacter(bytes, at, text);
    }
    return text;
}

std::string LineRow(const LineEntry& entry) {
    std::string row;
    AppendTime(entry.time, row);
    row += entry.direction == LineDirection::Written ? " ->" : " <-";
    if (!entry.bytes.empty()) {
        row += ' ';
    }
    row += EscapedText(entry.bytes);
    if (entry.notKept > 0) {
        AppendCount(entry.notKept, "more, not kept", row);
    }
    if (entry.notWritten > 0) {
        AppendCount(entry.notWritten, "not written", row);
    }
    return row;
}

std::string LineRows(std::span<const LineEntry> entries) {
    std::string rows;
    for (const LineEntry& entry : entries) {
        rows += LineRow(entry);
        rows += '\n';
    }
    return rows;
}

std::string LineRecordText(const LineRecord& record, int language) {
    std::uint64_t dropped = 0;
    const std::vector<LineEntry> entries = record.All(dropped);
    if (dropped == 0) {
        return LineRows(entries);
    }
    std::string note(Utf8In(kLineMonitorDropped, language));
    note.replace(note.find("{dropped}"), 9, std::to_string(dropped));
    note.replace(note.find("{kept}"), 6, std::to_string(record.Capacity()));
    return note + "\n" + LineRows(entries);
}

std::vector<LineEntry> NewEntriesToShow(const LineRecord& record, std::uint64_t& shownUpTo,
                                        std::size_t most) {
    std::vector<LineEntry> entries = record.Since(shownUpTo);
    if (entries.empty()) {
        return entries;
    }
    shownUpTo = entries.back().sequence;
    if (entries.size() > most) {
        entries.erase(entries.begin(), entries.end() - static_cast<std::ptrdiff_t>(most));
    }
    return entries;
}

}  // namespace vorlen
