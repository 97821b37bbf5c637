// The phases of one port's run, as the progress shows them.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace vorlen::fleet {

enum Phase : int { kWaking, kIdentifying, kSetting, kVerifying, kReading };

// Set-all sends this many commands, one step each.
inline constexpr int kSetAllSteps = 19;

struct RunSettings {
    std::chrono::milliseconds wakeTimeout;
    int language;  // 0 Chinese, anything else English
};

// Tells the progress what a port is doing now (UTF-8).
using ShowPhase = std::function<void(Phase phase, const std::string& what)>;

// The wake-up's limit in whole seconds, as the texts give it.
inline std::string WakeSeconds(const RunSettings& settings) {
    return std::to_string(
        std::chrono::duration_cast<std::chrono::seconds>(settings.wakeTimeout).count());
}

}  // namespace vorlen::fleet
