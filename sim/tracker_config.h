// What the simulated tracker stores, and how it reports it to the queries.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace vorlen::sim {

// Values are kept as the texts the tool sent, so the queries give back
// exactly what was set.
struct TrackerConfig {
    std::array<std::string, 9> userNumbers;
    std::string centerNumber;
    std::string userId;
    std::string userPassword;
    std::string workingMode;
    std::string warningType;
    std::string intervalTime;
    std::string uploadCount;
    std::string apn;
    std::string apnUser;
    std::string apnPassword;
    std::string serverIp;
    std::string serverPort;
    std::string baseStationCount;
    bool fenceEnabled = false;
    std::string fenceKind;  // 1 plain, 2 radius fence, 3 custom fence
    std::string latitude;
    std::string northSouth;
    std::string longitude;
    std::string eastWest;
    std::string fenceRadius;
    std::string fenceInterval;
    bool gpsOn = true;
};

// What a new tracker holds, and what "restore factory settings" brings back.
TrackerConfig FactoryConfig();

// The "#"-separated field lists that answer the three queries, each field
// followed by "#" so that nothing after the last value joins it.
std::string NumbersFields(const TrackerConfig& config, std::string_view imei);  // 901
std::string ServiceFields(const TrackerConfig& config);                         // 902
std::string FenceFields(const TrackerConfig& config);                           // 903

}  // namespace vorlen::sim
