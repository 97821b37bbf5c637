#include "tracker_config.h"

#include <initializer_list>

namespace vorlen::sim {

namespace {

constexpr std::string_view kFirmwareVersion = "1.04";
constexpr std::string_view kFirmwareBuild = "SIM";

std::string FieldList(std::initializer_list<std::string_view> fields) {
    std::string list;
    for (const std::string_view field : fields) {
        list.append(field);
        list += '#';
    }
    return list;
}

}  // namespace

TrackerConfig FactoryConfig() {
    TrackerConfig config;
    config.userPassword = "123456";
    config.workingMode = "0";
    config.warningType = "0";
    config.intervalTime = "30";
    config.uploadCount = "1";
    config.apn = "CMNET";
    config.baseStationCount = "1";
    config.fenceKind = "1";
    config.northSouth = "N";
    config.eastWest = "E";
    return config;
}

// Field 2 is a reserved field that the tool reads past.
std::string NumbersFields(const TrackerConfig& config, std::string_view imei) {
    const auto& n = config.userNumbers;
    return FieldList({config.centerNumber, "", config.userId, config.userPassword, n[0], n[1],
                      n[2], n[3], n[4], n[5], n[6], n[7], n[8], imei});
}

// Field 1, which the tool reads past, tells whether the GPS is on.
std::string ServiceFields(const TrackerConfig& config) {
    return FieldList({config.gpsOn ? "1" : "0", config.workingMode, config.warningType,
                      config.intervalTime, config.uploadCount, config.apn, config.apnUser,
                      config.apnPassword, config.serverIp, config.serverPort,
                      config.baseStationCount, kFirmwareVersion, kFirmwareBuild});
}

std::string FenceFields(const TrackerConfig& config) {
    return FieldList({config.fenceEnabled ? "1" : "0", config.latitude, config.northSouth,
                      config.longitude, config.eastWest, config.fenceRadius,
                      config.fenceInterval, config.fenceKind});
}

}  // namespace vorlen::sim
