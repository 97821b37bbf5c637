#include "tracker.h"

#include <algorithm>
#include <utility>

namespace vorlen::sim {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kOk = "\r\nOK\r\n";
constexpr std::string_view kError = "\r\nERROR\r\n";
constexpr std::string_view kCommandPrefix = "AT+";
constexpr std::string_view kOpenAt = "OPENAT";
constexpr std::string_view kImeiRead = "0,7";
constexpr std::string_view kImeiWrite = "1,7,\"";

using Arguments = std::vector<std::string>;

bool IsDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The tool formats every number with %d.
bool IsInteger(std::string_view text) {
    return IsDigits(text.starts_with('-') ? text.substr(1) : text);
}

Arguments Split(std::string_view text) {
    Arguments parts;
    for (;;) {
        const std::size_t comma = text.find(',');
        parts.emplace_back(text.substr(0, comma));
        if (comma == std::string_view::npos) {
            return parts;
        }
        text.remove_prefix(comma + 1);
    }
}

// One configuration command: how many arguments it carries and how it stores
// them. Storing fails (ERROR) for an argument the tracker cannot take.
struct Setting {
    std::string_view code;
    std::size_t arguments;
    bool (*store)(TrackerConfig& config, const Arguments& arguments);
};

constexpr Setting kSettings[] = {
    {"711", 2,
     [](TrackerConfig& c, const Arguments& a) {
         if (a[0].size() != 1 || a[0][0] < '1' || a[0][0] > '9') {
             return false;
         }
         c.userNumbers[static_cast<std::size_t>(a[0][0] - '1')] = a[1];
         return true;
     }},
    {"710", 1, [](TrackerConfig& c, const Arguments& a) { c.centerNumber = a[0]; return true; }},
    {"70", 1,
     [](TrackerConfig& c, const Arguments& a) {
         c.workingMode = a[0];
         return IsInteger(a[0]);
     }},
    {"720", 1,
     [](TrackerConfig& c, const Arguments& a) {
         c.warningType = a[0];
         return IsInteger(a[0]);
     }},
    {"730", 2,
     [](TrackerConfig& c, const Arguments& a) {
         if (!IsInteger(a[0]) || !IsInteger(a[1])) {
             return false;
         }
         c.intervalTime = a[0];
         c.uploadCount = a[1];
         return true;
     }},
    {"750", 2,
     [](TrackerConfig& c, const Arguments& a) {
         c.fenceEnabled = true;
         c.fenceKind = "2";
         c.fenceRadius = a[0];
         c.fenceInterval = a[1];
         return true;
     }},
    {"751", 6,
     [](TrackerConfig& c, const Arguments& a) {
         if ((a[3] != "E" && a[3] != "W") || (a[5] != "N" && a[5] != "S")) {
             return false;
         }
         c.fenceEnabled = true;
         c.fenceKind = "3";
         c.fenceRadius = a[0];
         c.fenceInterval = a[1];
         c.longitude = a[2];
         c.eastWest = a[3];
         c.latitude = a[4];
         c.northSouth = a[5];
         return true;
     }},
    {"760", 0, [](TrackerConfig& c, const Arguments&) { c.fenceEnabled = false; return true; }},
    {"770", 1, [](TrackerConfig& c, const Arguments& a) { c.userPassword = a[0]; return true; }},
    {"780", 1,
     [](TrackerConfig& c, const Arguments& a) {
         c.baseStationCount = a[0];
         return IsInteger(a[0]);
     }},
    {"801", 1, [](TrackerConfig& c, const Arguments& a) { c.userId = a[0]; return true; }},
    {"802", 3,
     [](TrackerConfig& c, const Arguments& a) {
         c.apn = a[0];
         c.apnUser = a[1];
         c.apnPassword = a[2];
         return true;
     }},
    {"803", 2,
     [](TrackerConfig& c, const Arguments& a) {
         c.serverIp = a[0];
         c.serverPort = a[1];
         return true;
     }},
    {"999", 0, [](TrackerConfig& c, const Arguments&) { c = FactoryConfig(); return true; }},
    {"221", 0, [](TrackerConfig& c, const Arguments&) { c.gpsOn = true; return true; }},
    {"231", 0, [](TrackerConfig& c, const Arguments&) { c.gpsOn = false; return true; }},
};

struct Query {
    std::string_view code;
    std::string (*fields)(const TrackerConfig& config, std::string_view imei);
};

constexpr Query kQueries[] = {
    {"901", NumbersFields},
    {"902", [](const TrackerConfig& c, std::string_view) { return ServiceFields(c); }},
    {"903", [](const TrackerConfig& c, std::string_view) { return FenceFields(c); }},
};

template <typename Entry>
const Entry* Find(const auto& table, std::string_view code) {
    const auto found = std::find_if(std::begin(table), std::end(table),
                                    [&](const Entry& entry) { return entry.code == code; });
    return found == std::end(table) ? nullptr : &*found;
}

bool IsCalibrationCall(std::string_view code, std::string_view arguments) {
    return code == "ISP" && arguments == "RCAL:8";
}

bool IsSleepEnd(std::string_view code, std::string_view arguments) {
    return code == "ESLP" && arguments == "0";
}

// The IMEI one higher, as the next tracker off a production line has it: its
// trailing digits counted up, wrapping within their width.
std::string NextImei(std::string imei) {
    for (auto digit = imei.rbegin(); digit != imei.rend() && *digit >= '0' && *digit <= '9';
         ++digit) {
        if (*digit != '9') {
            ++*digit;
            return imei;
        }
        *digit = '0';
    }
    return imei;
}

}  // namespace

Tracker::Tracker(TrackerTraits traits)
    : traits_(std::move(traits)), awake_(traits_.awake), imei_(traits_.imei) {}

std::string Tracker::Answer(std::string_view line, Clock::time_point now) {
    const Command command = Parse(line);
    if (!awake_ && !HeardWhileAsleep(command, now)) {
        return {};
    }
    std::string answer = traits_.echo ? std::string(line) + std::string(kLineEnd) : std::string();
    if (const std::string* canned = CannedReply(command)) {
        answer += *canned;
    } else {
        answer += IsRefused(command) ? std::string(kError) : Reply(command);
    }
    return answer;
}

std::chrono::milliseconds Tracker::Lateness(std::string_view line) const {
    const Command command = Parse(line);
    const bool late = command.wellFormed && std::find(traits_.late.begin(), traits_.late.end(),
                                                      command.code) != traits_.late.end();
    return late ? kLateBy : std::chrono::milliseconds::zero();
}

void Tracker::Replace() {
    awake_ = false;
    calibrated_ = false;
    firstWakeCall_.reset();
    config_ = FactoryConfig();
    imei_ = NextImei(imei_);
}

// "AT+OPENAT=<code>,<arguments>;" or "AT+<name>=<arguments>".
Tracker::Command Tracker::Parse(std::string_view line) {
    Command command;
    if (!line.starts_with(kCommandPrefix)) {
        return command;
    }
    line.remove_prefix(kCommandPrefix.size());
    const std::size_t equals = line.find('=');
    const std::string_view name = line.substr(0, equals);
    const std::string_view rest =
        equals == std::string_view::npos ? std::string_view() : line.substr(equals + 1);
    if (name != kOpenAt) {
        command.code = name;
        command.arguments = rest;
        command.wellFormed = equals != std::string_view::npos;
        return command;
    }
    const std::size_t comma = rest.find(',');
    if (comma == std::string_view::npos || !rest.ends_with(';')) {
        return command;
    }
    command.code = rest.substr(0, comma);
    command.arguments = rest.substr(comma + 1, rest.size() - comma - 2);
    command.wellFormed = IsDigits(command.code);
    return command;
}

// Asleep, the tracker hears only the wake-up: the calibration call once it
// has finished resetting, then the call that ends the sleep.
bool Tracker::HeardWhileAsleep(const Command& command, Clock::time_point now) {
    if (IsCalibrationCall(command.code, command.arguments)) {
        if (!firstWakeCall_) {
            firstWakeCall_ = now;
        }
        return now - *firstWakeCall_ >= traits_.wakeAfter;
    }
    return calibrated_ && IsSleepEnd(command.code, command.arguments);
}

bool Tracker::IsRefused(const Command& command) const {
    return command.wellFormed &&
           std::find(traits_.refused.begin(), traits_.refused.end(), command.code) !=
               traits_.refused.end();
}

bool Tracker::IsMisstored(const Command& command) const {
    return std::find(traits_.misstored.begin(), traits_.misstored.end(), command.code) !=
           traits_.misstored.end();
}

const std::string* Tracker::CannedReply(const Command& command) const {
    if (!command.wellFormed) {
        return nullptr;
    }
    const auto found = traits_.replies.find(command.code);
    return found == traits_.replies.end() ? nullptr : &found->second;
}

std::string Tracker::Reply(const Command& command) {
    if (!command.wellFormed) {
        return std::string(kError);
    }
    if (IsCalibrationCall(command.code, command.arguments)) {
        calibrated_ = true;
        return std::string(kOk);
    }
    if (IsSleepEnd(command.code, command.arguments)) {
        awake_ = true;
        return std::string(kOk);
    }
    if (command.code == "EGMR") {
        return ReplyToImei(command);
    }
    return ReplyToOpenAt(command);
}

std::string Tracker::ReplyToOpenAt(const Command& command) {
    if (const Query* query = Find<Query>(kQueries, command.code)) {
        if (!command.arguments.empty()) {
            return std::string(kError);
        }
        return "\r\n@" + query->fields(config_, imei_) + std::string(kLineEnd) + std::string(kOk);
    }
    const Setting* setting = Find<Setting>(kSettings, command.code);
    if (setting == nullptr) {
        return std::string(kError);
    }
    if (setting->arguments == 0) {
        if (command.arguments.empty() && IsMisstored(command)) {
            return std::string(kOk);
        }
        return command.arguments.empty() && setting->store(config_, {}) ? std::string(kOk)
                                                                       : std::string(kError);
    }
    Arguments arguments = Split(command.arguments);
    // A misstored setting keeps another value than it was sent: its first
    // value with a 9 appended (for 711 the number, not the slot).
    if (IsMisstored(command) && arguments.size() == setting->arguments) {
        arguments[command.code == "711" ? 1 : 0] += '9';
    }
    // A refused value leaves the stored configuration as it was.
    TrackerConfig changed = config_;
    if (arguments.size() != setting->arguments || !setting->store(changed, arguments)) {
        return std::string(kError);
    }
    config_ = std::move(changed);
    return std::string(kOk);
}

// AT+EGMR=0,7 reads the IMEI; AT+EGMR=1,7,"<IMEI>" writes it.
std::string Tracker::ReplyToImei(const Command& command) {
    const std::string_view arguments = command.arguments;
    if (arguments == kImeiRead) {
        const std::string quote = traits_.bareImei ? "" : "\"";
        return "\r\n+EGMR: " + quote + imei_ + quote + std::string(kLineEnd) + std::string(kOk);
    }
    if (arguments.starts_with(kImeiWrite) && arguments.size() > kImeiWrite.size() &&
        arguments.ends_with('"')) {
        imei_ = arguments.substr(kImeiWrite.size(), arguments.size() - kImeiWrite.size() - 1);
        return std::string(kOk);
    }
    return std::string(kError);
}

}  // namespace vorlen::sim
