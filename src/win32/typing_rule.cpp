#include "win32/typing_rule.h"

#include <algorithm>
#include <optional>
#include <string>

#include "model/gbk.h"
#include "model/typing_limit.h"
#include "win32/wide_text.h"

namespace vorlen::win32 {
namespace {

// A character the tracker sent that is not GBK shows as U+FFFD; a save
// stores '?' for it once the text is edited, so it counts as one byte.
std::optional<std::string> GbkOfEdited(std::wstring_view text) {
    std::wstring edited(text);
    std::replace(edited.begin(), edited.end(), L'\xFFFD', L'?');
    return Utf8ToGbk(Utf8OfWide(edited));
}

}  // namespace

bool AcceptsTyping(std::wstring_view before, std::wstring_view after, const FieldSpec* field) {
    const std::optional<std::string> gbk = GbkOfEdited(after);
    if (!gbk) {
        return false;
    }
    const std::string old = GbkOfEdited(before).value_or(std::string(before.size(), '?'));
    return vorlen::AcceptsTyping(field, old, *gbk);
}

}  // namespace vorlen::win32
