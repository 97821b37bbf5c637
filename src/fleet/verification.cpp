#include "fleet/verification.h"

#include <set>
#include <string_view>

#include "model/field_text.h"
#include "profile/profile_keys.h"
#include "protocol/line_rows.h"

namespace vorlen::fleet {
namespace {

const std::set<std::string_view> kFenceKeys{"fenceType", "fenceRadius", "fenceInterval"};
const std::set<std::string_view> kCoordinateKeys{"latitude", "northSouth", "longitude",
                                                 "eastWest"};
const std::set<std::string_view> kSentAsNumbers{"intervalTime", "uploadCount"};

// Whether the fence command sent this key's value.
bool FenceSent(std::string_view key, const Profile& sent) {
    if (kFenceKeys.contains(key)) {
        return sent.form.fenceEnabled != 0;
    }
    if (kCoordinateKeys.contains(key)) {
        return sent.form.fenceEnabled != 0 && sent.selections.fenceType == kCustomFence;
    }
    return true;
}

// What the tracker was told: the interval command carries numbers, and the
// custom fence a hemisphere letter that is "N" or "E" only for entry 0.
Profile AsSent(Profile sent) {
    for (std::string_view key : kSentAsNumbers) {
        std::string& text = sent.form.*FindProfileKey(key)->text;
        text = std::to_string(IntegerValue(text));
    }
    for (int* hemisphere : {&sent.selections.northSouth, &sent.selections.eastWest}) {
        *hemisphere = *hemisphere == 0 ? 0 : 1;
    }
    sent.form.fenceEnabled = sent.form.fenceEnabled != 0 ? 1 : 0;
    return sent;
}

}  // namespace

std::vector<Difference> Differences(const Profile& sent, const Profile& readBack) {
    const Profile told = AsSent(sent);
    Profile held = readBack;
    held.form.fenceEnabled = held.form.fenceEnabled != 0 ? 1 : 0;
    std::vector<Difference> differences;
    for (const ProfileKey& key : ProfileKeys()) {
        if (!FenceSent(key.name, sent)) {
            continue;
        }
        const bool text = key.kind == KeyKind::Text;
        // A text is compared as bytes and shown escaped: the tracker chose
        // them, and two texts GBK cannot show would both read "\uFFFD".
        std::string expected = text ? EscapedText(told.form.*key.text) : ValueText(key, told);
        std::string actual = text ? EscapedText(held.form.*key.text) : ValueText(key, held);
        const bool same = text ? told.form.*key.text == held.form.*key.text : expected == actual;
        if (!same) {
            differences.push_back({std::string(key.name), std::move(expected), std::move(actual)});
        }
    }
    return differences;
}

}  // namespace vorlen::fleet
