// The profile reader on any bytes, in both languages. A refusal names a line
// inside the text (or none) and carries a message; an accepted profile keeps
// every text within its field's limit, every selection within its list, and
// reads back unchanged from what the writer makes of it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/bilingual.h"
#include "profile/profile.h"
#include "profile/profile_keys.h"
#include "fuzz_check.h"

namespace {

using vorlen::Profile;
using vorlen::ProfileKey;

void CheckWithinLimits(const Profile& profile) {
    FUZZ_CHECK(profile.form.fenceEnabled == 0 || profile.form.fenceEnabled == 1);
    for (const ProfileKey& key : vorlen::ProfileKeys()) {
        if (key.kind == vorlen::KeyKind::Text) {
            const std::string& text = profile.form.*key.text;
            FUZZ_CHECK(text.size() <= static_cast<std::size_t>(vorlen::TextLimit(key)));
            FUZZ_CHECK(std::none_of(text.begin(), text.end(),
                                    [](char c) { return static_cast<unsigned char>(c) < 0x20; }));
        } else if (key.kind == vorlen::KeyKind::Choice) {
            const int index = profile.selections.*key.selection;
            FUZZ_CHECK(index >= -1 && index < static_cast<int>(key.entries.size()));
        }
    }
}

void CheckRoundTrip(const Profile& profile) {
    const std::string written = vorlen::WriteProfile(profile.form, profile.selections);
    const vorlen::ProfileResult again = vorlen::ReadProfile(written, vorlen::kEnglish);
    FUZZ_CHECK(again);
    FUZZ_CHECK(vorlen::WriteProfile(again.profile->form, again.profile->selections) == written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    for (const int language : {vorlen::kChinese, vorlen::kEnglish}) {
        const vorlen::ProfileResult read = vorlen::ReadProfile(text, language);
        if (!read) {
            FUZZ_CHECK(!read.error.message.empty());
            FUZZ_CHECK(read.error.line >= 0 && read.error.line <= lines);
            continue;
        }
        CheckWithinLimits(*read.profile);
        CheckRoundTrip(*read.profile);
    }
    return 0;
}
