// Identifiers of the form's controls. The tracker tool's window is laid out
// from a dialog resource whose controls are addressed by these numbers; the
// read-back and the enabling rules name controls by them.
#pragma once

namespace vorlen::control {

inline constexpr int kPortList = 1000;
inline constexpr int kLanguageList = 1001;
inline constexpr int kStatusBox = 1002;
inline constexpr int kSetUserNumber1 = 1003;  // 1003..1011: slots 1..9
inline constexpr int kSetCenterNumber = 1012;
inline constexpr int kSetIntervalAndUpload = 1013;
inline constexpr int kSetUserId = 1014;
inline constexpr int kSetWarningType = 1015;
inline constexpr int kSetUserPassword = 1016;
inline constexpr int kUserNumber1 = 1017;  // 1017..1025: slots 1..9
inline constexpr int kCenterNumber = 1026;
inline constexpr int kSetSystemMode = 1027;
inline constexpr int kWorkingModeList = 1028;
inline constexpr int kSetApn = 1029;
inline constexpr int kApn = 1030;
inline constexpr int kIntervalTime = 1031;
inline constexpr int kUploadCount = 1032;
inline constexpr int kSetElectricFence = 1033;
inline constexpr int kFenceTypeList = 1034;
inline constexpr int kFenceRadius = 1035;
inline constexpr int kFenceInterval = 1036;
inline constexpr int kLatitude = 1037;
inline constexpr int kNorthSouthList = 1038;
inline constexpr int kLongitude = 1039;
inline constexpr int kEastWestList = 1040;
inline constexpr int kFenceOpen = 1041;
inline constexpr int kUserId = 1042;
inline constexpr int kWarningTypeList = 1043;
inline constexpr int kUserPassword = 1044;
inline constexpr int kSetBaseStationNumber = 1045;
inline constexpr int kApnUser = 1047;
inline constexpr int kApnPassword = 1048;
inline constexpr int kSetIpAndPort = 1049;
inline constexpr int kServerIp = 1050;
inline constexpr int kServerPort = 1051;
inline constexpr int kResetConfig = 1052;
inline constexpr int kSetAll = 1053;
inline constexpr int kApnUserLabel = 1054;
inline constexpr int kApnPasswordLabel = 1055;
inline constexpr int kIntervalLabel = 1056;
inline constexpr int kUploadCountLabel = 1057;
inline constexpr int kRadiusLabel = 1058;
inline constexpr int kFenceIntervalLabel = 1059;
inline constexpr int kLatitudeLabel = 1060;
inline constexpr int kLongitudeLabel = 1061;
inline constexpr int kServerPortLabel = 1062;
inline constexpr int kBaseStationList = 1063;
inline constexpr int kPortLabel = 1064;
inline constexpr int kLanguageLabel = 1065;
inline constexpr int kReadConfig = 1066;
inline constexpr int kReadImei = 1067;
inline constexpr int kOpenGps = 1068;
inline constexpr int kCloseGps = 1069;
inline constexpr int kWriteImei = 1070;
inline constexpr int kWakeTracker = 1073;
inline constexpr int kUserNumberGroup = 1074;
inline constexpr int kApnGroup = 1075;
inline constexpr int kIntervalGroup = 1076;
inline constexpr int kFenceGroup = 1077;
inline constexpr int kConfigArea = 1078;
inline constexpr int kImei = 1079;
inline constexpr int kSoftwareVersion = 1080;
inline constexpr int kVersionLabel = 1081;
inline constexpr int kIpPortGroup = 1082;
inline constexpr int kCenterGroup = 1083;
inline constexpr int kUserIdGroup = 1084;

}  // namespace vorlen::control
