#include "fleet/device_list.h"

#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>
#include <toml++/toml.h>

#include "model/gbk.h"
#include "model/validation.h"
#include "profile/profile_file.h"
#include "profile/profile_keys.h"
#include "fleet/imei.h"
#include "fleet/numbered_value.h"
#include "fleet/printable.h"
#include "fleet/profile_proof.h"
#include "fleet/tool_texts.h"

namespace vorlen::fleet {
namespace {

using Row = std::vector<std::string>;

constexpr std::string_view kImeiColumn = "imei";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

constexpr Bilingual kNoFile{"cannot read the device list", "无法读取设备列表"};
constexpr Bilingual kUnknownColumn{"not a profile key", "不是配置文件的键"};
constexpr Bilingual kNoImeiColumn{"the header has no imei column", "标题行没有imei列"};
// A spreadsheet set to a European locale saves its CSV with semicolons.
constexpr Bilingual kSemicolons{
    "the list is separated by semicolons; its values are expected separated by commas",
    "该列表用分号分隔; 数值之间应使用逗号分隔"};
constexpr Bilingual kRepeatedColumn{"the column is given twice", "该列重复给出"};
constexpr Bilingual kCellCount{"the row has another number of values than the header",
                               "该行的数值个数与标题行不同"};
constexpr Bilingual kBadImei{"an IMEI is 14 to 16 digits", "IMEI为14到16位数字"};
constexpr Bilingual kRepeatedImei{"the IMEI is listed twice", "该IMEI重复列出"};
constexpr Bilingual kOpenQuote{"a quoted value is not closed", "引号中的数值没有结束"};

// RFC 4180: fields separated by commas, quoted fields may hold commas, line
// breaks and doubled quotes. False for a quote left open.
bool SplitCsv(std::string_view text, std::vector<Row>& rows) {
    Row row(1);
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                row.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                row.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row.emplace_back();
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            rows.push_back(std::move(row));
            row.assign(1, {});
        } else {
            row.back() += c;
        }
    }
    if (row.size() > 1 || !row[0].empty()) {
        rows.push_back(std::move(row));
    }
    return !quoted;
}

// The profile's values with the row's over them, as a profile text, so the
// profile reader judges every value as it judges a file's (limits, control
// bytes, the separators a free text may not hold).
std::string MergedText(const Profile& profile, const DeviceRow& row) {
    toml::table table;
    for (const ProfileKey& key : ProfileKeys()) {
        std::string value = ValueText(key, profile);
        for (const auto& [name, given] : row.values) {
            if (name == key.name) {
                value = given;
            }
        }
        if (key.kind == KeyKind::Switch && (value == "true" || value == "false")) {
            table.insert(key.name, value == "true");
        } else {
            table.insert(key.name, value);
        }
    }
    std::ostringstream text;
    text << toml::toml_formatter(table, toml::format_flags::allow_unicode_strings);
    return text.str();
}

// The reader's message names a line of the merged text, which means nothing
// to the operator: the column is named instead.
std::string WithoutLine(const ProfileError& error) {
    const std::string message = GbkToUtf8(error.message);
    const std::size_t colon = message.find(": ");
    return error.line > 0 && colon != std::string::npos ? message.substr(colon + 2) : message;
}

struct Refusal {
    std::string column;
    std::string why;
};

// The row's profile, or why not: the reader's first fault, then Set ALL's
// check taking the row's values one by one, so the column that first makes it
// fail is the one named, then the rest of the profile's proof (a choice
// set-all sends left empty, an APN login the read-back cannot show whole).
std::optional<Refusal> Apply(const Profile& profile, DeviceRow& row, int language) {
    const ProfileResult merged = ReadProfile(MergedText(profile, row), language);
    if (!merged) {
        const ProfileError& first = merged.faults.front();
        return Refusal{first.key, WithoutLine(first)};
    }
    for (const auto& [key, value] : row.values) {
        std::string refusal;
        if (!FindNumbering(value, language, refusal) && !refusal.empty()) {
            return Refusal{key, refusal};
        }
    }
    DeviceRow partial;
    for (const auto& value : row.values) {
        partial.values.push_back(value);
        Profile checked =
            WithSampleNumbers(*ReadProfile(MergedText(profile, partial), language).profile);
        if (const Verdict verdict = ValidateAllFields(checked.form, checked.selections)) {
            return Refusal{value.first, GbkToUtf8(InLanguage(MessageText(*verdict), language))};
        }
    }
    if (const std::optional<KeyMistake> mistake = FirstSetAllMistake(*merged.profile, language)) {
        return Refusal{mistake->key, mistake->why};
    }
    row.profile = *merged.profile;
    return std::nullopt;
}

class Loader {
public:
    Loader(const std::string& file, int language) : file_(file), language_(language) {}

    std::optional<DeviceList> Load(const Profile& profile, std::string& failure) {
        std::ifstream in(FilePath(file_), std::ios::binary);
        if (!in.is_open()) {
            failure = Whole(kNoFile);
            return std::nullopt;
        }
        std::string text{std::istreambuf_iterator<char>(in), {}};
        if (text.starts_with(kByteOrderMark)) {
            text.erase(0, kByteOrderMark.size());
        }
        std::vector<Row> rows;
        if (!SplitCsv(text, rows)) {
            failure = Whole(kOpenQuote);
            return std::nullopt;
        }
        const Row header = rows.empty() ? Row{} : rows[0];
        std::optional<std::string> refused = CheckHeader(header);
        DeviceList list;
        for (std::size_t i = 1; i < rows.size() && !refused; ++i) {
            refused = AddRow(header, rows[i], static_cast<int>(i) + 1, profile, list);
        }
        if (refused) {
            failure = *refused;
            return std::nullopt;
        }
        return list;
    }

private:
    std::string InLanguage(const Bilingual& text) const {
        return std::string(Utf8In(text, language_));
    }
    // A fault of the whole file.
    std::string Whole(const Bilingual& why) const {
        return Say(text::kBadDeviceList, language_, {.port = file_, .detail = InLanguage(why)});
    }
    std::string At(int row, std::string_view column, const std::string& why) const {
        return Say(text::kBadDeviceRow, language_,
                   {.port = file_, .detail = why, .count = row, .key = Printable(column)});
    }

    std::optional<std::string> CheckHeader(const Row& header) const {
        std::set<std::string> seen;
        for (const std::string& column : header) {
            if (column != kImeiColumn && FindProfileKey(column) == nullptr) {
                return column.find(';') != std::string::npos ? Whole(kSemicolons)
                                                     : At(1, column, InLanguage(kUnknownColumn));
            }
            if (!seen.insert(column).second) {
                return At(1, column, InLanguage(kRepeatedColumn));
            }
        }
        if (!seen.contains(std::string(kImeiColumn))) {
            return At(1, kImeiColumn, InLanguage(kNoImeiColumn));
        }
        return std::nullopt;
    }

    std::optional<std::string> AddRow(const Row& header, const Row& cells, int number,
                                      const Profile& profile, DeviceList& list) const {
        if (cells.size() != header.size()) {
            return At(number, "", InLanguage(kCellCount));
        }
        std::string imei;
        DeviceRow row;
        for (std::size_t i = 0; i < header.size(); ++i) {
            if (header[i] == kImeiColumn) {
                imei = cells[i];
            } else {
                row.values.emplace_back(header[i], cells[i]);
            }
        }
        if (!IsImei(imei)) {
            return At(number, kImeiColumn, InLanguage(kBadImei));
        }
        if (list.contains(imei)) {
            return At(number, kImeiColumn, InLanguage(kRepeatedImei));
        }
        if (const std::optional<Refusal> refusal = Apply(profile, row, language_)) {
            return At(number, refusal->column, refusal->why);
        }
        list.emplace(imei, std::move(row));
        return std::nullopt;
    }

    std::string file_;
    int language_;
};

}  // namespace

std::optional<DeviceList> LoadDeviceList(const std::string& file, const Profile& profile,
                                         int language, std::string& failure) {
    return Loader(file, language).Load(profile, failure);
}

std::string ValuesJson(const DeviceRow& row) {
    nlohmann::ordered_json values = nlohmann::ordered_json::object();
    for (const auto& [key, value] : row.values) {
        values[key] = value;
    }
    return values.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace vorlen::fleet
