#include "serial/open_failure_hint.h"

#include <iterator>
#include <string_view>

#include "model/bilingual.h"

namespace vorlen {

namespace {

struct Hint {
    OpenFailureKind kind;
    Bilingual text;
};

// "%s" stands for the group (no permission) or the system's text (other).
constexpr Hint kHints[] = {
    {OpenFailureKind::NoPermission,
     {"No permission to use this port. Add your user to the group %s "
      "(sudo usermod -aG %s $USER), then log out and in again.",
      "没有使用此端口的权限。请将用户加入 %s 组（sudo usermod -aG %s $USER），"
      "然后注销并重新登录。"}},
    {OpenFailureKind::InUse,
     {"Another program is using this port. Close that program, then pick the port again.",
      "此端口正被其他程序占用。请关闭该程序，然后重新选择端口。"}},
    {OpenFailureKind::NoDevice,
     {"The device is not there (any more). Plug the cable in, then pick the port again.",
      "设备不存在（或已拔出）。请插好数据线，然后重新选择端口。"}},
    {OpenFailureKind::Other, {"The system says: %s", "系统提示：%s"}},
};

// Each kind finds its hint at its own place.
constexpr bool InKindOrder() {
    for (std::size_t i = 0; i < std::size(kHints); ++i) {
        if (static_cast<std::size_t>(kHints[i].kind) != i) {
            return false;
        }
    }
    return std::size(kHints) == static_cast<std::size_t>(OpenFailureKind::Other) + 1;
}
static_assert(InKindOrder());

constexpr std::string_view kDetailMark = "%s";

std::string Detail(const OpenFailure& why) {
    if (why.kind == OpenFailureKind::NoPermission) {
        return why.group.empty() ? kUsualSerialGroup : why.group;
    }
    return why.systemText;
}

}  // namespace

std::string OpenFailureHint(const OpenFailure& why, int language) {
    std::string text = InLanguage(kHints[static_cast<std::size_t>(why.kind)].text, language);
    // "%" lies below every GBK trail byte, so a mark is never half of a
    // Chinese character; the detail's own "%s" is not searched again.
    const std::string detail = Detail(why);
    for (std::size_t at = text.find(kDetailMark); at != std::string::npos;
         at = text.find(kDetailMark, at + detail.size())) {
        text.replace(at, kDetailMark.size(), detail);
    }
    return text;
}

std::string WithOpenFailureHint(const std::string& failureLine, const OpenFailure& why,
                                int language) {
    return failureLine + kStatusLineBreak + OpenFailureHint(why, language);
}

}  // namespace vorlen
