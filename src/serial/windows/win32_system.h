// Port discovery's queries bound to the real system: GetVersionExA, SetupAPI
// and the registry.
#pragma once

#include <windows.h>

#include <setupapi.h>

#include "serial/windows_system.h"

namespace vorlen {

// One walk over the serial port interfaces at a time. The error code is taken
// right after the call that failed, before anything else can change it.
class Win32System : public WindowsSystem {
public:
    Win32System() = default;
    ~Win32System() override;
    Win32System(const Win32System&) = delete;
    Win32System& operator=(const Win32System&) = delete;

    std::uint32_t LastError() const override { return lastError_; }
    std::optional<OsVersion> Version() override;

    bool OpenPortDevices() override;
    bool SelectPortInterface(std::uint32_t index) override;
    std::optional<std::string> InterfaceDevicePath() override;
    std::optional<std::string> DevicePropertyText(DeviceProperty property) override;
    void ClosePortDevices() override;

    std::optional<RegistryKey> OpenKey(RegistryKey parent, const std::string& name) override;
    std::optional<std::string> SubkeyName(RegistryKey key, std::uint32_t index) override;
    std::optional<std::string> TextValue(RegistryKey key, const std::string& name) override;
    std::optional<std::string> ValueText(RegistryKey key, std::uint32_t index) override;
    void CloseKey(RegistryKey key) override;

private:
    // Remembers GetLastError() and returns false, for a call that failed.
    bool Failed();
    // Remembers a registry call's result; true when it succeeded.
    bool Succeeded(LSTATUS status);

    std::uint32_t lastError_ = 0;
    HDEVINFO devices_ = INVALID_HANDLE_VALUE;
    SP_DEVICE_INTERFACE_DATA interface_{};
    SP_DEVINFO_DATA device_{};
};

}  // namespace vorlen
