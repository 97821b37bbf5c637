// Whether a tracker holds what set-all sent it.
#pragma once

#include <string>
#include <vector>

#include "profile/profile.h"

namespace vorlen::fleet {

struct Difference {
    std::string key;       // the profile's key
    std::string expected;  // UTF-8, as the profile shows values; texts escaped
    std::string actual;    // as the line monitor's rows escape them
};

// Compares what set-all sent (the profile's record after set-all, which
// trimmed the fields it sends trimmed) with what the read-back found. Only
// what the commands set is compared: the interval and the upload count by the
// numbers sent, the hemispheres by the letters sent, and the fence's fields
// only where the fence command carries them.
std::vector<Difference> Differences(const Profile& sent, const Profile& readBack);

}  // namespace vorlen::fleet
