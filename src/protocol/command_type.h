// The tracker commands the form can send, numbered as the result table and
// the command table are keyed.
#pragma once

namespace vorlen {

enum class CommandType : int {
    SetUserNumber1 = 0,
    SetUserNumber2,
    SetUserNumber3,
    SetUserNumber4,
    SetUserNumber5,
    SetUserNumber6,
    SetUserNumber7,
    SetUserNumber8,
    SetUserNumber9,
    SetCenterNumber,
    SetSystemMode,
    SetWarningType,
    SetIntervalAndUpload,
    SetElectricFence,
    SetUserPassword,
    SetBaseStationNumber,
    SetUserId,
    SetApn,
    SetIpAndPort,
    ResetConfig,
    OpenGps,
    CloseGps,
    ReadImei,
    WriteImei,
    ReadConfig,
    SetAll,
};

inline constexpr int kCommandTypeCount = 26;

inline constexpr int Index(CommandType type) { return static_cast<int>(type); }

// User number `slot` 1 to 9.
inline constexpr CommandType SetUserNumber(int slot) {
    return static_cast<CommandType>(Index(CommandType::SetUserNumber1) + slot - 1);
}

}  // namespace vorlen
