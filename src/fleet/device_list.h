// The device list: per tracker, by its IMEI, values that replace the
// profile's (its own user ID, its own phone numbers). A CSV file with a header
// row of "imei" and profile keys, then one row per tracker.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "profile/profile.h"

namespace vorlen::fleet {

struct DeviceRow {
    std::vector<std::pair<std::string, std::string>> values;  // key, UTF-8 value
    Profile profile;  // the profile with the row's values, passed by Set ALL's check
};

using DeviceList = std::map<std::string, DeviceRow>;  // by IMEI

// Every row checked with the profile's rules: the keys, the texts' limits and
// characters, the choices' entry names, then Set ALL's check. Nothing, with
// one line (UTF-8) naming the file, the row (the header is row 1) and the
// column in `failure`, when any row is refused.
std::optional<DeviceList> LoadDeviceList(const std::string& file, const Profile& profile,
                                         int language, std::string& failure);

// The row's values as a JSON object, for the journal.
std::string ValuesJson(const DeviceRow& row);

}  // namespace vorlen::fleet
