#include "serial/windows_strategies.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "serial/friendly_name.h"

namespace vorlen {

namespace {

constexpr std::string_view kDevicePrefix = "\\\\.\\";
constexpr int kFixedListSize = 16;

// "text (err=1f)": the system's error code in lowercase hexadecimal.
[[noreturn]] void FailWithCode(std::string_view text, std::uint32_t code) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, " (err=%lx)", static_cast<unsigned long>(code));
    throw PortEnumerationError(std::string(text) + suffix);
}

// The device set is released on every way out, an error included.
class DeviceSetHold {
public:
    explicit DeviceSetHold(WindowsSystem& system) : system_(system) {}
    ~DeviceSetHold() { system_.ClosePortDevices(); }
    DeviceSetHold(const DeviceSetHold&) = delete;
    DeviceSetHold& operator=(const DeviceSetHold&) = delete;

private:
    WindowsSystem& system_;
};

// Opens a registry key that is closed on every way out; `failure` is the
// message when it cannot be opened.
class KeyHold {
public:
    KeyHold(WindowsSystem& system, RegistryKey parent, const std::string& name,
            const std::string& failure)
        : system_(system) {
        const auto key = system.OpenKey(parent, name);
        if (!key) {
            throw PortEnumerationError(failure);
        }
        key_ = *key;
    }
    ~KeyHold() { system_.CloseKey(key_); }
    KeyHold(const KeyHold&) = delete;
    KeyHold& operator=(const KeyHold&) = delete;

    RegistryKey key() const { return key_; }

private:
    WindowsSystem& system_;
    RegistryKey key_ = 0;
};

// Friendly name, description and service, in this order; reading stops at the
// first that fails, and the device is listed only with all three.
struct DeviceTexts {
    std::string friendlyName;
    std::string description;
};

std::optional<DeviceTexts> ReadDeviceTexts(WindowsSystem& system) {
    auto friendlyName = system.DevicePropertyText(DeviceProperty::FriendlyName);
    if (!friendlyName) {
        return std::nullopt;
    }
    auto description = system.DevicePropertyText(DeviceProperty::DeviceDescription);
    if (!description || !system.DevicePropertyText(DeviceProperty::Service)) {
        return std::nullopt;
    }
    return DeviceTexts{std::move(*friendlyName), std::move(*description)};
}

bool IsSerialControllerId(std::string_view deviceId) {
    return deviceId == "*PNP0500" || deviceId == "*PNP0501";
}

void AddOrReplace(PortList& ports, PortInfo port) {
    const auto same = std::find_if(ports.begin(), ports.end(), [&](const PortInfo& listed) {
        return listed.portName == port.portName;
    });
    if (same == ports.end()) {
        ports.push_back(std::move(port));
    } else {
        *same = std::move(port);
    }
}

void AddInstancePorts(PortList& ports, WindowsSystem& system, RegistryKey deviceKey,
                      bool usbPorts) {
    for (std::uint32_t index = 0; auto instance = system.SubkeyName(deviceKey, index); ++index) {
        const KeyHold instanceKey(system, deviceKey, *instance,
                                  "Could not read from HKLM\\Enum\\...\\" + *instance);
        auto portName = system.TextValue(instanceKey.key(), "PORTNAME");
        if (!portName) {
            continue;
        }
        PortInfo port;
        port.devicePath = std::string(kDevicePrefix) + *portName;
        port.portName = std::move(*portName);
        port.friendlyName = system.TextValue(instanceKey.key(), "FRIENDLYNAME").value_or("");
        port.isUsb = usbPorts ? 1 : 0;
        AddOrReplace(ports, std::move(port));
    }
}

}  // namespace

OsVersion QueryVersion(WindowsSystem& system) {
    const auto version = system.Version();
    if (!version) {
        FailWithCode("Could not get OS version.", system.LastError());
    }
    return *version;
}

PortStrategy ChooseStrategy(const OsVersion& version) {
    if (version.majorVersion >= 5) {
        return PortStrategy::DeviceInterfaces;
    }
    return version.platformId == kPlatformWin32Nt ? PortStrategy::FixedList
                                                  : PortStrategy::Registry;
}

void AddDeviceInterfacePorts(PortList& ports, WindowsSystem& system) {
    if (!system.OpenPortDevices()) {
        FailWithCode("SetupDiGetClassDevs failed.", system.LastError());
    }
    const DeviceSetHold hold(system);
    for (std::uint32_t index = 0;; ++index) {
        if (!system.SelectPortInterface(index)) {
            const std::uint32_t code = system.LastError();
            if (code == kErrorNoMoreItems) {
                return;
            }
            FailWithCode("SetupDiEnumDeviceInterfaces failed.", code);
        }
        auto devicePath = system.InterfaceDevicePath();
        if (!devicePath) {
            FailWithCode("SetupDiGetDeviceInterfaceDetail failed.", system.LastError());
        }
        auto texts = ReadDeviceTexts(system);
        const auto location = system.DevicePropertyText(DeviceProperty::LocationInformation);
        if (!texts) {
            continue;
        }
        PortInfo port;
        port.devicePath = std::move(*devicePath);
        port.portName = PortNameFromFriendlyName(texts->friendlyName);
        port.friendlyName = std::move(texts->friendlyName);
        port.isUsb = location && location->starts_with("USB") ? 1 : 0;
        port.description = std::move(texts->description);
        ports.push_back(std::move(port));
    }
}

void AddDeviceMapPorts(PortList& ports, WindowsSystem& system) {
    const auto deviceMap = system.OpenKey(kLocalMachine, "HARDWARE\\DEVICEMAP\\SERIALCOMM");
    if (!deviceMap) {
        return;
    }
    for (std::uint32_t index = 0; auto name = system.ValueText(*deviceMap, index); ++index) {
        const bool listed = std::any_of(ports.begin(), ports.end(), [&](const PortInfo& port) {
            return port.portName == *name;
        });
        if (listed) {
            continue;
        }
        PortInfo port;
        port.devicePath = std::string(kDevicePrefix) + *name;
        port.portName = *name;
        port.friendlyName = *name;
        port.description = std::move(*name);
        ports.push_back(std::move(port));
    }
    system.CloseKey(*deviceMap);
}

void AddFixedListPorts(PortList& ports) {
    for (int number = 1; number <= kFixedListSize; ++number) {
        PortInfo port;
        port.portName = "COM" + std::to_string(number);
        port.devicePath = std::string(kDevicePrefix) + port.portName;
        ports.push_back(std::move(port));
    }
}

void AddRegistryPorts(PortList& ports, WindowsSystem& system) {
    const KeyHold enumKey(system, kLocalMachine, "Enum", "Could not read from HKLM\\Enum");
    for (std::uint32_t index = 0; auto enumerator = system.SubkeyName(enumKey.key(), index);
         ++index) {
        const std::string enumeratorPath = "HKLM\\Enum\\" + *enumerator;
        const KeyHold enumeratorKey(system, enumKey.key(), *enumerator,
                                    "Could not read from " + enumeratorPath);
        const bool usbPorts = *enumerator == "USBPORTS";
        for (std::uint32_t deviceIndex = 0;
             auto deviceId = system.SubkeyName(enumeratorKey.key(), deviceIndex); ++deviceIndex) {
            if (!usbPorts && !IsSerialControllerId(*deviceId)) {
                continue;
            }
            const KeyHold deviceKey(system, enumeratorKey.key(), *deviceId,
                                    "Could not read from " + enumeratorPath + "\\" + *deviceId);
            AddInstancePorts(ports, system, deviceKey.key(), usbPorts);
        }
    }
}

}  // namespace vorlen
