#include "fleet/imei.h"

#include <algorithm>

namespace vorlen::fleet {

bool IsImei(std::string_view text) {
    return text.size() >= kShortestImei && text.size() <= kLongestImei &&
           text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::optional<std::string> ImeiClaims::Claim(const std::string& imei, const std::string& port) {
    std::lock_guard lock(mutex_);
    const auto [held, claimed] = holders_.try_emplace(imei, port);
    if (claimed || held->second == port) {
        return std::nullopt;
    }
    return held->second;
}

void ImeiClaims::Release(const std::string& port) {
    std::lock_guard lock(mutex_);
    std::erase_if(holders_, [&port](const auto& held) { return held.second == port; });
}

}  // namespace vorlen::fleet
