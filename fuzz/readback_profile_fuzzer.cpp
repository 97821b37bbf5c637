// What a tracker answers, read back into the form and saved as a profile:
// the fields the save warns about must be exactly those Load refuses, and a
// profile with none of them must load back as the very form that was read.
// The first byte picks the query the rest of the input answers (0: 901,
// 1: 902, 2: 903, 3: all three), as in the read-back target; the other
// queries get a well-formed reply.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "fakes.h"
#include "fuzz_check.h"
#include "model/bilingual.h"
#include "model/free_text.h"
#include "model/gbk.h"
#include "profile/profile.h"
#include "profile/profile_keys.h"
#include "protocol/readback.h"
#include "readback_replies.h"

namespace {

using namespace vorlen;

using fuzz::kQueries;
using fuzz::kWellFormedReplies;

// Told apart from the reader: a text Load cannot take back as it is.
bool WillNotLoad(const ProfileKey& key, const std::string& text) {
    const bool control = std::any_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
    return text.size() > static_cast<std::size_t>(TextLimit(key)) || control ||
           (IsFreeText(key.text) && HoldsSeparator(text)) || Utf8ToGbk(GbkToUtf8(text)) != text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t chosen = data[0] % 4;
    const std::string answer =
        std::string(reinterpret_cast<const char*>(data) + 1, size - 1) + "\r\nOK\r\n";
    testing::ScriptedTracker tracker([&](const std::string& command) {
        for (std::size_t i = 0; i < kQueries.size(); ++i) {
            if (command == kQueries[i]) {
                return chosen == i || chosen == 3 ? answer : std::string(kWellFormedReplies[i]);
            }
        }
        return std::string();
    });
    const TrackerReading reading = ReadBackTracker(tracker, {}, testing::NoPause());
    const TrackerForm& form = reading.form;
    const Selections& selections = reading.selections;

    std::set<std::string> warned;
    for (const ProfileError& fault : FieldsThatWillNotLoad(form, selections, kEnglish)) {
        FUZZ_CHECK(fault.line > 0);
        warned.insert(fault.key);
    }
    std::set<std::string> unfit;
    for (const ProfileKey& key : ProfileKeys()) {
        if (key.kind == KeyKind::Text && WillNotLoad(key, form.*key.text)) {
            unfit.insert(std::string(key.name));
        }
    }
    FUZZ_CHECK(warned == unfit);

    const ProfileResult loaded = ReadProfile(WriteProfile(form, selections), kEnglish);
    FUZZ_CHECK(static_cast<bool>(loaded) == warned.empty());
    if (!loaded) {
        return 0;
    }
    for (const ProfileKey& key : ProfileKeys()) {
        if (key.kind == KeyKind::Text) {
            FUZZ_CHECK(loaded.profile->form.*key.text == form.*key.text);
        } else if (key.kind == KeyKind::Choice) {
            FUZZ_CHECK(loaded.profile->selections.*key.selection == selections.*key.selection);
        }
    }
    FUZZ_CHECK(loaded.profile->form.fenceEnabled == (form.fenceEnabled != 0 ? 1 : 0));
    return 0;
}
