#include <sstream>

#include <toml++/toml.h>

#include "model/gbk.h"
#include "profile/profile.h"
#include "profile/profile_keys.h"

namespace vorlen {
namespace {

constexpr std::string_view kPreamble =
    "# Vorlen profile: the whole form, for Load Profile and vorlen-provision.\n"
    "# Every key must be present. Texts go in quotes; a choice names its\n"
    "# entry (\"\" for none). Passwords are stored as they are: keep this file private.\n";

// toml++ writes the value, so quoting and escaping follow the format exactly:
// always one line in double quotes, Chinese as it is, anything unprintable
// escaped.
template <typename T>
void WriteValue(std::ostringstream& out, T value) {
    const toml::value<T> node(std::move(value));
    out << toml::toml_formatter(node, toml::format_flags::allow_unicode_strings);
}

void WriteChoice(std::ostringstream& out, const ProfileKey& key, int index) {
    WriteValue(out, std::string(EntryName(key, index)));
    out << "  # one of";
    for (const std::string_view entry : key.entries) {
        out << ' ' << entry;
    }
}

}  // namespace

std::string WriteProfile(const TrackerForm& form, const Selections& selections) {
    std::ostringstream out;
    out << kPreamble;
    for (const ProfileKey& key : ProfileKeys()) {
        if (!key.heading.empty()) {
            out << "\n# " << key.heading << '\n';
        }
        out << key.name << " = ";
        switch (key.kind) {
            case KeyKind::Text:
                WriteValue(out, GbkToUtf8(form.*key.text));
                break;
            case KeyKind::Choice:
                WriteChoice(out, key, selections.*key.selection);
                break;
            case KeyKind::Switch:
                WriteValue(out, form.fenceEnabled != 0);
                break;
        }
        out << '\n';
    }
    return out.str();
}

}  // namespace vorlen
