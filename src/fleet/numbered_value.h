// Numbered values: a profile or device-list text holding "{n}" or "{n:0W}"
// (userId = "TRUCK-{n:04}") gives each tracker configured the next number of
// its series, drawn from the journal with the tracker's row, so that no
// number goes out twice, not even from two stations on one journal. A
// tracker that has a number in the series keeps it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "profile/profile.h"

namespace vorlen::fleet {

// Where a value holds its number.
struct Numbering {
    std::string series;   // the value with its placeholder written "{n}": "TRUCK-{n}"
    std::size_t at = 0;   // the placeholder's first byte in the value
    std::size_t length = 0;
    int width = 0;        // at least this many digits, zeros in front; 0 for none
};

// The value's numbering; nothing when it holds no "{n"; a value with two
// placeholders, or a malformed one ("{n:4}", "{n", "{n:010}"), is refused
// with the reason (English or Chinese, UTF-8) in `refusal`.
std::optional<Numbering> FindNumbering(std::string_view utf8, int language,
                                       std::string& refusal);

// The value with its placeholder replaced by `number`.
std::string Numbered(std::string_view utf8, const Numbering& numbering, long long number);

// A text key of a profile that holds a numbered value.
struct NumberedKey {
    std::string key;
    Numbering numbering;
};

// The profile's numbered keys, in the order of the profile's keys; every
// value refused names its key in `refusals` ("userId: ...").
std::vector<NumberedKey> NumberedKeys(const Profile& profile, int language,
                                      std::vector<std::string>& refusals);

// The profile with each numbered key's number: `numbers` in the order of
// `keys`, 0 for a key left as it is (no number yet).
Profile WithNumbers(Profile profile, const std::vector<NumberedKey>& keys,
                    const std::vector<long long>& numbers);

// The profile as a tracker of number 1 would get it: what set-all's check
// proves before any tracker is touched.
Profile WithSampleNumbers(const Profile& profile);

// The numbered keys' values added to the device values (a JSON object) of
// a journal row.
std::string WithNumberedValues(const std::string& deviceValues, const Profile& numbered,
                               const std::vector<NumberedKey>& keys);

}  // namespace vorlen::fleet
