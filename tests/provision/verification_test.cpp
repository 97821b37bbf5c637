#include <gtest/gtest.h>

#include "fleet/verification.h"
#include "provision_rig.h"

namespace vorlen::test {
namespace {

using fleet::Differences;

struct Check {
    const char* name;
    void (*sent)(Profile&);  // changes the profile sent
    void (*held)(Profile&);  // changes what the tracker reports
    std::vector<std::string> differing;
};

void Keep(Profile&) {}

std::vector<Check> Checks() {
    return {
        {"identical", Keep, Keep, {}},
        {"interval_sent_as_its_number",
         [](Profile& p) { p.form.intervalTime = "30.5"; p.form.uploadCount = "05"; },
         [](Profile& p) { p.form.intervalTime = "30"; p.form.uploadCount = "5"; }, {}},
        {"interval_held_otherwise", Keep, [](Profile& p) { p.form.intervalTime = "31"; },
         {"intervalTime"}},
        {"fence_off_leaves_its_fields_unsent", [](Profile& p) { p.form.fenceEnabled = 0; },
         [](Profile& p) {
             p.form.fenceEnabled = 0;
             p.form.fenceRadius = "1";
             p.selections.fenceType = 0;
             p.form.latitude = "";
         },
         {}},
        {"fence_held_off", Keep, [](Profile& p) { p.form.fenceEnabled = 0; }, {"fenceEnabled"}},
        {"circle_fence_sends_no_coordinates",
         [](Profile& p) { p.selections.fenceType = kCircleFence; },
         [](Profile& p) {
             p.selections.fenceType = kCircleFence;
             p.form.longitude = "1";
             p.selections.eastWest = 1;
         },
         {}},
        {"no_hemisphere_is_sent_as_the_second_letter",
         [](Profile& p) { p.selections.northSouth = -1; },
         [](Profile& p) { p.selections.northSouth = 1; },
         {}},
        {"texts_compared_byte_for_byte", Keep,
         [](Profile& p) { p.form.apnUser += ' '; p.selections.workingMode = -1; },
         {"workingMode", "apnUser"}},
    };
}

void PrintTo(const Check& check, std::ostream* out) { *out << check.name; }

class Verification : public ::testing::TestWithParam<Check> {};

TEST_P(Verification, NamesOnlyWhatTheCommandsSetAndTheTrackerHoldsOtherwise) {
    Profile sent = FleetProfile();
    GetParam().sent(sent);
    Profile held = sent;
    GetParam().held(held);
    std::vector<std::string> keys;
    for (const fleet::Difference& difference : Differences(sent, held)) {
        keys.push_back(difference.key);
    }
    EXPECT_EQ(keys, GetParam().differing);
}

INSTANTIATE_TEST_SUITE_P(Fields, Verification, ::testing::ValuesIn(Checks()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorlen::test
