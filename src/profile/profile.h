// A profile: the whole form as a UTF-8 TOML text an operator can read and
// edit, for loading into the window and for provisioning many trackers.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/selections.h"
#include "model/tracker_form.h"

namespace vorlen {

struct Profile {
    TrackerForm form;  // the texts set-all sends and the fence switch; nothing else
    Selections selections;
};

// Why a text is not a profile. `key` is empty when no key is to blame (a
// syntax error, an unreadable file); `line` counts from 1, 0 when there is
// no line to name (a missing key). `message` names both, as GBK bytes in the
// chosen language (0 Chinese, anything else English).
struct ProfileError {
    std::string key;
    int line = 0;
    std::string message;
};

// Either a profile or every fault of the text. `faults` are in the order of
// their lines, missing keys (no line) last; `error` is the first of them, its
// message naming every fault, one a line, so one message box shows them all.
struct ProfileResult {
    std::optional<Profile> profile;
    ProfileError error;
    std::vector<ProfileError> faults;

    explicit operator bool() const { return profile.has_value(); }
};

// The profile text of a form: every key, grouped and commented, texts
// converted from GBK. ReadProfile gives back exactly this form and these
// selections (a fence switch other than 0 comes back as 1).
std::string WriteProfile(const TrackerForm& form, const Selections& selections);

// Reads a profile. Every key must be there and no other; every text must fit
// its field's byte limit in GBK and hold no control character, and a free
// text no separator of the command line or the read-back; every choice
// must name an entry of its list (or be "" for no selection). The whole text
// is valid, or nothing of it is taken.
ProfileResult ReadProfile(std::string_view utf8Text, int language);

// The faults Load would find in the profile of this form: a tracker's
// six-digit factory password read back, bytes that are not GBK, a separator
// in a free text. Each names its key and the line it will have in the file.
// Empty when the profile loads back as it is.
std::vector<ProfileError> FieldsThatWillNotLoad(const TrackerForm& form,
                                                const Selections& selections, int language);

}  // namespace vorlen
