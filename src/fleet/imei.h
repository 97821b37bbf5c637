// What counts as a tracker's identity: an IMEI of 14 to 16 digits (the
// 14-digit body, with its check digit, or the 16-digit IMEISV). One rule for
// what a tracker says and for what a device list names.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace vorlen::fleet {

inline constexpr std::size_t kShortestImei = 14;
inline constexpr std::size_t kLongestImei = 16;

bool IsImei(std::string_view text);

// Which port holds which IMEI while its tracker is being run. Two trackers
// answering with one IMEI at the same time are a cloned IMEI: the second
// must not get the first one's device row, nor a row of its own under it.
class ImeiClaims {
public:
    // Claims `imei` for `port`; the port that already holds it, if another does.
    std::optional<std::string> Claim(const std::string& imei, const std::string& port);
    // The port's tracker has its outcome.
    void Release(const std::string& port);

private:
    std::mutex mutex_;
    std::map<std::string, std::string> holders_;  // IMEI -> port
};

}  // namespace vorlen::fleet
