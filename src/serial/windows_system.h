// The Windows queries that port discovery asks: the system version, the
// SetupAPI walk over the serial port interface class, and the registry. The
// discovery rules are written against this interface, so they are tested
// with fakes and bound to the real calls by the Windows build.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vorlen {

struct OsVersion {
    std::uint32_t majorVersion = 0;
    std::uint32_t platformId = 0;
};

inline constexpr std::uint32_t kPlatformWin32Nt = 2;    // VER_PLATFORM_WIN32_NT
inline constexpr std::uint32_t kErrorNoMoreItems = 259;  // ERROR_NO_MORE_ITEMS

// SetupAPI's SPDRP_* codes.
enum class DeviceProperty : std::uint32_t {
    DeviceDescription = 0,
    Service = 4,
    FriendlyName = 12,
    LocationInformation = 13,
};

using RegistryKey = std::uintptr_t;
inline constexpr RegistryKey kLocalMachine = 0x80000002;  // HKEY_LOCAL_MACHINE

class WindowsSystem {
public:
    virtual ~WindowsSystem() = default;

    // The code of the last query that failed (GetLastError).
    virtual std::uint32_t LastError() const = 0;

    // GetVersionExA; nothing when the query fails.
    virtual std::optional<OsVersion> Version() = 0;

    // SetupDiGetClassDevsA: the present devices with the serial port
    // interface class, held until ClosePortDevices. False when the set cannot
    // be obtained.
    virtual bool OpenPortDevices() = 0;
    // SetupDiEnumDeviceInterfaces: makes interface `index` of the set the
    // current one. False past the last one (LastError() is then
    // kErrorNoMoreItems) or on failure.
    virtual bool SelectPortInterface(std::uint32_t index) = 0;
    // SetupDiGetDeviceInterfaceDetailA: the current interface's device path
    // (at most 256 characters); nothing on failure.
    virtual std::optional<std::string> InterfaceDevicePath() = 0;
    // SetupDiGetDeviceRegistryPropertyA for the current interface's device,
    // read into 256 bytes; nothing when it cannot be read or does not fit.
    virtual std::optional<std::string> DevicePropertyText(DeviceProperty property) = 0;
    // SetupDiDestroyDeviceInfoList.
    virtual void ClosePortDevices() = 0;

    // RegOpenKeyExA with KEY_READ; nothing on failure.
    virtual std::optional<RegistryKey> OpenKey(RegistryKey parent, const std::string& name) = 0;
    // RegEnumKeyExA into 128 bytes; nothing for any non-zero result, which
    // ends the walk (a name that does not fit too).
    virtual std::optional<std::string> SubkeyName(RegistryKey key, std::uint32_t index) = 0;
    // RegQueryValueExA into 128 bytes, taken as a terminated text; nothing
    // when the read fails or the value does not fit.
    virtual std::optional<std::string> TextValue(RegistryKey key, const std::string& name) = 0;
    // RegEnumValueA: the data of value `index` read into 128 bytes, taken as
    // a terminated text; nothing for any non-zero result, which ends the walk
    // (data that does not fit too).
    virtual std::optional<std::string> ValueText(RegistryKey key, std::uint32_t index) = 0;
    // RegCloseKey.
    virtual void CloseKey(RegistryKey key) = 0;
};

}  // namespace vorlen
