// The simulated tracker's side of the protocol: which command lines it
// hears, what it answers, and the configuration it keeps.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tracker_config.h"

namespace vorlen::sim {

struct TrackerTraits {
    bool awake = false;                    // no wake-up needed
    std::chrono::milliseconds wakeAfter{0};  // still resetting this long after the first wake-up call
    std::vector<std::string> refused;      // command codes answered with ERROR
    std::vector<std::string> misstored;    // setting codes acknowledged but stored wrongly
    std::map<std::string, std::string> replies;  // command codes answered with these bytes alone
    std::vector<std::string> late;         // command codes answered only after kLateBy
    bool echo = false;                     // every answer starts with the command line
    std::string imei;
    bool bareImei = false;                 // the IMEI's reply without its quotes
};

// Longer than the tool waits for a silent tracker (50 polls, 2.5 s).
inline constexpr std::chrono::milliseconds kLateBy{3000};

class Tracker {
public:
    using Clock = std::chrono::steady_clock;

    explicit Tracker(TrackerTraits traits);

    // The bytes the tracker sends back for one command line (given without
    // its CR LF); empty when it stays silent.
    std::string Answer(std::string_view line, Clock::time_point now);

    // How long after its line the answer to it goes out: kLateBy for the
    // codes given as late, none for the rest.
    std::chrono::milliseconds Lateness(std::string_view line) const;

    // Another tracker behind the same port: asleep as after a reset, with
    // the factory configuration and the next IMEI. The traits stay.
    void Replace();

private:
    struct Command {
        std::string code;       // "710" for AT+OPENAT=710,...; "EGMR" for AT+EGMR=...
        std::string arguments;  // between the code's comma and the final ";", or after "="
        bool wellFormed = false;
    };

    static Command Parse(std::string_view line);
    bool HeardWhileAsleep(const Command& command, Clock::time_point now);
    bool IsRefused(const Command& command) const;
    bool IsMisstored(const Command& command) const;
    const std::string* CannedReply(const Command& command) const;
    std::string Reply(const Command& command);
    std::string ReplyToOpenAt(const Command& command);
    std::string ReplyToImei(const Command& command);

    TrackerTraits traits_;
    bool awake_;
    bool calibrated_ = false;  // the first wake-up call was answered
    std::optional<Clock::time_point> firstWakeCall_;
    TrackerConfig config_ = FactoryConfig();
    std::string imei_;
};

}  // namespace vorlen::sim
