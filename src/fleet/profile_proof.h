// Whether a profile can go out as set-all's nineteen commands and be verified
// afterwards, proven before any port is touched: a profile that would stop
// at step 14 on every tracker of the bench is refused on the desk instead.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "profile/profile.h"

namespace vorlen::fleet {

using KeyLineMap = std::map<std::string, int, std::less<>>;

// Every mistake of the profile, in the order of the file, each naming its line
// (from `lines`) and key (UTF-8, escaped for a terminal): a choice set-all
// sends left empty, each field the set-all check refuses, and an APN login
// longer than the read-back shows. Empty when the profile may go out.
std::vector<std::string> SetAllMistakes(const Profile& profile, const KeyLineMap& lines,
                                        int language);

struct KeyMistake {
    std::string key;  // "" for a rule of no single key
    std::string why;  // UTF-8, escaped for a terminal, without the key's line
};

// The first of SetAllMistakes, for a device row: its profile is the file's
// with the row's values over it, and the row names the column.
std::optional<KeyMistake> FirstSetAllMistake(const Profile& profile, int language);

// The profile file as Set ALL would take it, or nothing with every line that
// refuses it in `mistakes` (UTF-8, one message each, naming the file). The
// check trims a copy; the commands go out as the file has them, as they go
// out as the window's controls show them.
std::optional<Profile> CheckedProfileFile(const std::string& path, int language,
                                          std::vector<std::string>& mistakes);

}  // namespace vorlen::fleet
