#include "profile/key_lines.h"

#include <toml++/toml.h>

#include "profile/toml_shield.h"

namespace vorlen {

std::map<std::string, int, std::less<>> KeyLines(std::string_view utf8Text) {
    std::map<std::string, int, std::less<>> lines;
    try {
        const toml::table table = toml::parse(ShieldFromParser(utf8Text));
        for (const auto& [name, node] : table) {
            lines.emplace(Unshielded(name.str()), static_cast<int>(name.source().begin.line));
        }
    } catch (const toml::parse_error&) {
        lines.clear();
    }
    return lines;
}

}  // namespace vorlen
