// The three query replies through the real read-back. The first byte picks
// which query the rest of the input answers (0: 901, 1: 902, 2: 903, 3: all
// three); it is followed by the acknowledgement. The other queries get a
// well-formed reply, so the chosen one is reached and the later ones run on
// what it left.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fakes.h"
#include "fuzz_check.h"
#include "protocol/readback.h"
#include "readback_replies.h"

namespace {

using vorlen::TrackerForm;
using F = TrackerForm;

using vorlen::fuzz::kQueries;
using vorlen::fuzz::kWellFormedReplies;

constexpr std::string_view kAcknowledgement = "\r\nOK\r\n";

// No reply field yields more characters than its place allows.
struct Limit {
    std::string F::*text;
    std::size_t longest;
};

constexpr std::array<Limit, 25> kLimits{{
    {&F::centerNumber, 20}, {&F::userId, 20},       {&F::userPassword, 20},
    {&F::userNumber1, 20},  {&F::userNumber2, 20},  {&F::userNumber3, 20},
    {&F::userNumber4, 20},  {&F::userNumber5, 20},  {&F::userNumber6, 20},
    {&F::userNumber7, 20},  {&F::userNumber8, 20},  {&F::userNumber9, 20},
    {&F::imei, 19},         {&F::intervalTime, 19}, {&F::uploadCount, 19},
    {&F::apn, 100},         {&F::apnUser, 31},      {&F::apnPassword, 31},
    {&F::serverIp, 25},     {&F::serverPort, 19},   {&F::latitude, 19},
    {&F::longitude, 19},    {&F::fenceRadius, 19},  {&F::fenceInterval, 19},
    // "V", two parts of 19 and the blank between them.
    {&F::softwareVersion, 40},
}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t chosen = data[0] % 4;
    const std::string answer =
        std::string(reinterpret_cast<const char*>(data) + 1, size - 1) + std::string(kAcknowledgement);
    vorlen::testing::ScriptedTracker tracker([&](const std::string& command) {
        for (std::size_t i = 0; i < kQueries.size(); ++i) {
            if (command == kQueries[i]) {
                return chosen == i || chosen == 3 ? answer : std::string(kWellFormedReplies[i]);
            }
        }
        return std::string();
    });
    vorlen::testing::FakeFormView view;
    TrackerForm form;
    vorlen::ReadBackConfiguration(&tracker, form, view, 1, vorlen::testing::NoPause());

    // Only the queries are sent, in their order, and one outcome is shown.
    FUZZ_CHECK(tracker.written.size() <= kQueries.size());
    for (std::size_t i = 0; i < tracker.written.size(); ++i) {
        FUZZ_CHECK(tracker.written[i] == kQueries[i]);
    }
    FUZZ_CHECK(view.statuses.size() == 1);
    const bool succeeded = view.statuses.front().mark == vorlen::StatusMark::Success;
    FUZZ_CHECK(!succeeded || tracker.written.size() == kQueries.size());
    FUZZ_CHECK(view.refreshes == (succeeded ? 1 : 0));

    for (const Limit& limit : kLimits) {
        const std::string& text = form.*limit.text;
        FUZZ_CHECK(text.size() <= limit.longest);
        FUZZ_CHECK(text.find('\0') == std::string::npos);
    }
    return 0;
}
