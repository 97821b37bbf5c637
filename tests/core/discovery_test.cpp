// Port discovery's rules: names from friendly names, the clean-up pass, the
// sort, and the Windows strategies against a fake system.
#include <gtest/gtest.h>

#include <array>
#include <iterator>
#include <map>
#include <set>

#include "serial/enumerate_ports.h"
#include "serial/friendly_name.h"
#include "serial/port_cleanup.h"
#include "serial/port_sort.h"
#include "serial/windows_strategies.h"

namespace vorlen {
namespace {

std::vector<std::string> NamesOf(const PortList& ports) {
    std::vector<std::string> names;
    for (const PortInfo& port : ports) {
        names.push_back(port.portName);
    }
    return names;
}

PortInfo Named(std::string name, std::string friendlyName = "", std::string description = "") {
    PortInfo port;
    port.portName = std::move(name);
    port.friendlyName = std::move(friendlyName);
    port.description = std::move(description);
    return port;
}

TEST(PortNameFromFriendlyName, TakesTheTextInTheFirstParentheses) {
    const struct {
        const char* friendlyName;
        const char* portName;
    } cases[] = {
        {"Communications Port (COM1)", "COM1"}, {"USB Serial Port (COM12)", "COM12"},
        {"Port (A) (COM2)", "A"},                {"Bluetooth link", ""},
        {"Unclosed (COM3", ""},                  {"Backwards) (COM4)", ""},
        {"COM5) and more", "COM5"},              {"()", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PortNameFromFriendlyName(c.friendlyName), c.portName) << c.friendlyName;
    }
}

TEST(CleanUpPorts, DropsNamesWithoutComAndFillsTheTexts) {
    PortList ports = {
        Named("COM1", "Communications Port (COM1)"),
        Named("com3"),
        Named(""),
        Named("COM5"),
        Named("XCOM3", "Modem", "Modem on XCOM3"),
        Named("COM2", "Port (A) (COM2)"),
        Named("COM12", "USB Serial Port (COM12)", "USB Serial Port (COM12)"),
        Named("COM6", " (COM6)"),
    };
    CleanUpPorts(ports, IsComPortName);
    const std::vector<std::array<std::string, 3>> expected = {
        {"COM1", "Communications Port (COM1)", "Communications Port"},
        {"COM5", "COM5", "COM5"},
        {"XCOM3", "Modem", "Modem on XCOM3"},
        {"COM2", "Port (A) (COM2)", "Port (A) (COM2)"},
        {"COM12", "USB Serial Port (COM12)", "USB Serial Port (COM12)"},
        {"COM6", " (COM6)", " (COM6)"},
    };
    ASSERT_EQ(ports.size(), expected.size());
    for (std::size_t i = 0; i < ports.size(); ++i) {
        EXPECT_EQ(ports[i].portName, expected[i][0]);
        EXPECT_EQ(ports[i].friendlyName, expected[i][1]) << ports[i].portName;
        EXPECT_EQ(ports[i].description, expected[i][2]) << ports[i].portName;
    }
}

TEST(CleanUpPorts, OnLinuxKeepsDevicePathsOnly) {
    PortList ports = {Named("/dev/ttyUSB0"), Named("COM1"), Named("/devices/ttyUSB1"),
                      Named("/dev/ttyACM0", "Modem (ttyACM0)")};
    CleanUpPorts(ports, IsUnderDirectory("/dev"));
    EXPECT_EQ(NamesOf(ports), (std::vector<std::string>{"/dev/ttyUSB0", "/dev/ttyACM0"}));
    EXPECT_EQ(ports[1].description, "Modem");
}

TEST(SortPorts, OrdersByTheNumberAfterTheThirdCharacter) {
    PortList ports = {Named("COM10"), Named("COM9"), Named("COM2"), Named("XCOM3"),
                      Named("COM1"),  Named("COMx")};
    SortPorts(ports);
    EXPECT_EQ(NamesOf(ports),
              (std::vector<std::string>{"XCOM3", "COMx", "COM1", "COM2", "COM9", "COM10"}));
}

TEST(SortPorts, IsTheExchangeSortWithItsOrderAmongEqualKeys) {
    // B and C share a key; swapping B with the smaller A puts C first.
    PortList ports = {Named("COM1", "B"), Named("COM1", "C"), Named("COM0", "A")};
    SortPorts(ports);
    EXPECT_EQ(ports[0].friendlyName, "A");
    EXPECT_EQ(ports[1].friendlyName, "C");
    EXPECT_EQ(ports[2].friendlyName, "B");

    PortList devicePaths = {Named("/dev/ttyUSB0"), Named("/dev/pts9"), Named("/dev/ttyAMA0")};
    const PortList before = devicePaths;
    SortPorts(devicePaths);
    EXPECT_EQ(NamesOf(devicePaths), NamesOf(before)) << "device paths all have key 0";
}

TEST(ChooseStrategy, GoesByMajorVersionThenPlatform) {
    const struct {
        OsVersion version;
        PortStrategy strategy;
    } cases[] = {
        {{5, 0}, PortStrategy::DeviceInterfaces},  {{5, 1}, PortStrategy::DeviceInterfaces},
        {{10, 2}, PortStrategy::DeviceInterfaces}, {{0xFFFFFFFF, 1}, PortStrategy::DeviceInterfaces},
        {{4, 2}, PortStrategy::FixedList},         {{4, 1}, PortStrategy::Registry},
        {{3, 0}, PortStrategy::Registry},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseStrategy(c.version), c.strategy)
            << c.version.majorVersion << '/' << c.version.platformId;
    }
}

struct FakeDevice {
    std::string path;
    std::optional<std::string> friendlyName;
    std::optional<std::string> description;
    std::optional<std::string> service;
    std::optional<std::string> location;
};

struct RegistryNode {
    std::string name;
    std::map<std::string, std::string> values;
    std::vector<RegistryNode> subkeys;
    bool opens = true;
};

// A Windows machine in memory. It also watches that every device set and
// registry key that was opened is closed again.
class FakeWindows : public WindowsSystem {
public:
    std::optional<OsVersion> version = OsVersion{5, kPlatformWin32Nt};
    bool deviceSetOpens = true;
    std::vector<FakeDevice> devices;
    std::optional<std::uint32_t> walkFailsAt;   // SelectPortInterface fails with 0x3e6
    std::optional<std::uint32_t> detailFailsAt;  // InterfaceDevicePath fails with 0x7a
    RegistryNode enumKey{"Enum", {}, {}, true};
    std::optional<RegistryNode> deviceMap;  // HARDWARE\DEVICEMAP\SERIALCOMM

    int openDeviceSets = 0;
    std::set<RegistryKey> openKeys;

    std::uint32_t LastError() const override { return lastError_; }

    std::optional<OsVersion> Version() override {
        lastError_ = version ? 0 : 0x57;
        return version;
    }

    bool OpenPortDevices() override {
        lastError_ = 5;
        openDeviceSets += deviceSetOpens ? 1 : 0;
        return deviceSetOpens;
    }
    bool SelectPortInterface(std::uint32_t index) override {
        if (walkFailsAt == index) {
            lastError_ = 0x3e6;
            return false;
        }
        lastError_ = kErrorNoMoreItems;
        current_ = index;
        return index < devices.size();
    }
    std::optional<std::string> InterfaceDevicePath() override {
        lastError_ = 0x7a;
        return detailFailsAt == current_ ? std::nullopt
                                         : std::optional(devices[current_].path);
    }
    std::optional<std::string> DevicePropertyText(DeviceProperty property) override {
        const FakeDevice& device = devices[current_];
        switch (property) {
            case DeviceProperty::FriendlyName: return device.friendlyName;
            case DeviceProperty::DeviceDescription: return device.description;
            case DeviceProperty::Service: return device.service;
            case DeviceProperty::LocationInformation: return device.location;
        }
        return std::nullopt;
    }
    void ClosePortDevices() override { --openDeviceSets; }

    std::optional<RegistryKey> OpenKey(RegistryKey parent, const std::string& name) override {
        const RegistryNode* node = nullptr;
        if (parent == kLocalMachine) {
            node = name == "Enum" ? &enumKey : nullptr;
            if (name == "HARDWARE\\DEVICEMAP\\SERIALCOMM" && deviceMap) {
                node = &*deviceMap;
            }
        } else {
            for (const RegistryNode& subkey : keys_.at(parent)->subkeys) {
                node = subkey.name == name ? &subkey : node;
            }
        }
        if (node == nullptr || !node->opens) {
            return std::nullopt;
        }
        keys_[nextKey_] = node;
        openKeys.insert(nextKey_);
        return nextKey_++;
    }
    std::optional<std::string> SubkeyName(RegistryKey key, std::uint32_t index) override {
        const auto& subkeys = keys_.at(key)->subkeys;
        return index < subkeys.size() ? std::optional(subkeys[index].name) : std::nullopt;
    }
    std::optional<std::string> TextValue(RegistryKey key, const std::string& name) override {
        const auto& values = keys_.at(key)->values;
        const auto found = values.find(name);
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
    std::optional<std::string> ValueText(RegistryKey key, std::uint32_t index) override {
        const auto& values = keys_.at(key)->values;
        if (index >= values.size()) {
            return std::nullopt;
        }
        return std::next(values.begin(), index)->second;
    }
    void CloseKey(RegistryKey key) override { EXPECT_EQ(openKeys.erase(key), 1u); }

private:
    std::uint32_t lastError_ = 0;
    std::uint32_t current_ = 0;
    std::map<RegistryKey, const RegistryNode*> keys_;
    RegistryKey nextKey_ = 1;
};

std::string EnumerationError(PortList& ports, WindowsSystem& system) {
    try {
        EnumeratePorts(ports, system);
    } catch (const PortEnumerationError& error) {
        return error.what();
    }
    return "(no error)";
}

TEST(WindowsDiscovery, NtFourListsComOneToSixteenWithoutProbing) {
    FakeWindows windows;
    windows.version = OsVersion{4, kPlatformWin32Nt};
    PortList ports = {Named("stale")};
    EnumeratePorts(ports, windows);
    ASSERT_EQ(ports.size(), 16u);
    for (int n = 1; n <= 16; ++n) {
        const PortInfo& port = ports[static_cast<std::size_t>(n - 1)];
        const std::string name = "COM" + std::to_string(n);
        EXPECT_EQ(port.portName, name);
        EXPECT_EQ(port.devicePath, "\\\\.\\" + name);
        EXPECT_EQ(port.friendlyName, name);
        EXPECT_EQ(port.description, name);
        EXPECT_EQ(port.isUsb, 0);
    }
}

TEST(WindowsDiscovery, DeviceInterfacesGiveNamedPortsWithAllThreeProperties) {
    FakeWindows windows;
    windows.devices = {
        {"\\\\?\\usb#vid_0403", "USB Serial Port (COM12)", "FTDI USB Serial Port (V2)", "FTSER2K",
         "USB\\VID_0403&PID_6001"},
        {"\\\\?\\acpi#pnp0501#1", "Communications Port (COM1)", "Communications Port", "Serial",
         "PCI bus 0"},
        {"\\\\?\\bth#1", "Bluetooth link", "Bluetooth", "BTHMODEM", std::nullopt},
        {"\\\\?\\usb#2", "Modem (COM4)", "Modem", std::nullopt, "USB"},
        {"\\\\?\\usb#3", std::nullopt, "Modem", "Serial", "USB"},
        {"\\\\?\\usb#4", "Gadget (COM5)", std::nullopt, "Serial", "USB"},
        {"\\\\?\\pci#5", "Card (COM3)", "Card", "Serial", "usb-like"},
    };
    PortList ports;
    EnumeratePorts(ports, windows);
    EXPECT_EQ(windows.openDeviceSets, 0);
    ASSERT_EQ(NamesOf(ports), (std::vector<std::string>{"COM1", "COM3", "COM12"}));
    EXPECT_EQ(ports[0].devicePath, "\\\\?\\acpi#pnp0501#1");
    EXPECT_EQ(ports[0].isUsb, 0);
    EXPECT_EQ(ports[1].isUsb, 0) << "the location test is case-sensitive";
    EXPECT_EQ(ports[2].isUsb, 1);
    EXPECT_EQ(ports[2].friendlyName, "USB Serial Port (COM12)");
    EXPECT_EQ(ports[2].description, "FTDI USB Serial Port (V2)");
}

TEST(WindowsDiscovery, FailuresCarryTheirTextAndLeaveTheRecordsAsFound) {
    const struct {
        const char* what;
        void (*breakIt)(FakeWindows&);
        const char* message;
        std::vector<std::string> left;
    } cases[] = {
        {"version", [](FakeWindows& w) { w.version.reset(); },
         "Could not get OS version. (err=57)", {}},
        {"device set", [](FakeWindows& w) { w.deviceSetOpens = false; },
         "SetupDiGetClassDevs failed. (err=5)", {}},
        {"walk", [](FakeWindows& w) { w.walkFailsAt = 3; },
         "SetupDiEnumDeviceInterfaces failed. (err=3e6)", {"COM12", "", "COM1"}},
        {"detail", [](FakeWindows& w) { w.detailFailsAt = 2; },
         "SetupDiGetDeviceInterfaceDetail failed. (err=7a)", {"COM12", ""}},
    };
    for (const auto& c : cases) {
        FakeWindows windows;
        windows.devices = {
            {"a", "USB Serial Port (COM12)", "USB Serial Port", "FTSER2K", "USB"},
            {"b", "Bluetooth link", "Bluetooth", "BTHMODEM", std::nullopt},
            {"c", "Communications Port (COM1)", "", "Serial", std::nullopt},
        };
        c.breakIt(windows);
        PortList ports = {Named("stale")};
        EXPECT_EQ(EnumerationError(ports, windows), c.message) << c.what;
        EXPECT_EQ(NamesOf(ports), c.left) << c.what << ": neither cleaned nor sorted";
        EXPECT_EQ(windows.openDeviceSets, 0) << c.what;
        if (ports.size() == 3) {
            EXPECT_EQ(ports[2].description, "") << "the clean-up pass did not run";
        }
    }
}

// Wine, and some virtual COM port drivers, register their ports in the device
// map only.
TEST(WindowsDiscovery, DeviceMapAddsThePortsTheInterfaceWalkMissed) {
    const RegistryNode deviceMap{"SERIALCOMM",
                                 {{"\\Device\\Serial0", "COM1"},
                                  {"\\Device\\VCom12", "COM12"},
                                  {"\\Device\\VCom3", "COM3"},
                                  {"\\Device\\Odd", "LPT9"}},
                                 {},
                                 true};
    FakeWindows windows;
    windows.devices = {{"\\\\?\\acpi#pnp0501#1", "Communications Port (COM1)",
                        "Communications Port", "Serial", "PCI bus 0"}};
    windows.deviceMap = deviceMap;
    PortList ports;
    EnumeratePorts(ports, windows);
    EXPECT_TRUE(windows.openKeys.empty());
    ASSERT_EQ(NamesOf(ports), (std::vector<std::string>{"COM1", "COM3", "COM12"}));
    EXPECT_EQ(ports[0].devicePath, "\\\\?\\acpi#pnp0501#1") << "what the walk found stays";
    EXPECT_EQ(ports[0].friendlyName, "Communications Port (COM1)");
    for (const PortInfo* added : {&ports[1], &ports[2]}) {
        EXPECT_EQ(added->devicePath, "\\\\.\\" + added->portName);
        EXPECT_EQ(added->friendlyName, added->portName);
        EXPECT_EQ(added->description, added->portName);
        EXPECT_EQ(added->isUsb, 0);
    }

    FakeWindows failing;
    failing.devices = windows.devices;
    failing.deviceMap = deviceMap;
    failing.walkFailsAt = 1;
    PortList found;
    EXPECT_EQ(EnumerationError(found, failing), "SetupDiEnumDeviceInterfaces failed. (err=3e6)");
    EXPECT_EQ(NamesOf(found), std::vector<std::string>{"COM1"}) << "a failed walk adds nothing";

    FakeWindows nt4;
    nt4.version = OsVersion{4, kPlatformWin32Nt};
    nt4.deviceMap = deviceMap;
    EnumeratePorts(found, nt4);
    EXPECT_EQ(found.size(), 16u) << "only the device-interface walk is completed";
    EXPECT_TRUE(nt4.openKeys.empty());
}

RegistryNode Instance(std::string name, std::map<std::string, std::string> values) {
    return {std::move(name), std::move(values), {}, true};
}

RegistryNode Key(std::string name, std::vector<RegistryNode> subkeys) {
    return {std::move(name), {}, std::move(subkeys), true};
}

FakeWindows Windows95() {
    FakeWindows windows;
    windows.version = OsVersion{4, 1};
    windows.enumKey.subkeys = {
        Key("ACPI",
            {Key("*PNP0501",
                 {Instance("00", {{"PORTNAME", "COM1"}, {"FRIENDLYNAME", "Communications Port (COM1)"}}),
                  Instance("01", {{"PORTNAME", "COM2"}}),
                  Instance("02", {{"FRIENDLYNAME", "No port name"}})}),
             Key("*pnp0500", {Instance("00", {{"PORTNAME", "COM7"}})}),
             Key("PNP0C0F", {Instance("00", {{"PORTNAME", "COM8"}})})}),
        Key("BIOS", {Key("*PNP0500", {Instance("00", {{"PORTNAME", "COM9"}})})}),
        Key("USBPORTS",
            {Key("ANYTHING",
                 {Instance("00", {{"PORTNAME", "COM1"}, {"FRIENDLYNAME", "USB Port (COM1)"}}),
                  Instance("01", {{"PORTNAME", "COM10"}})})}),
        Key("usbports", {Key("X", {Instance("00", {{"PORTNAME", "COM11"}})})}),
    };
    return windows;
}

TEST(WindowsDiscovery, RegistryListsSerialControllersAndUsbPorts) {
    FakeWindows windows = Windows95();
    PortList ports;
    EnumeratePorts(ports, windows);
    EXPECT_TRUE(windows.openKeys.empty());
    ASSERT_EQ(NamesOf(ports), (std::vector<std::string>{"COM1", "COM2", "COM9", "COM10"}));
    // The USB instance of COM1 overwrote the first one in its place.
    EXPECT_EQ(ports[0].friendlyName, "USB Port (COM1)");
    EXPECT_EQ(ports[0].description, "USB Port");
    EXPECT_EQ(ports[0].isUsb, 1);
    EXPECT_EQ(ports[0].devicePath, "\\\\.\\COM1");
    EXPECT_EQ(ports[1].friendlyName, "COM2");
    EXPECT_EQ(ports[3].isUsb, 1);
}

TEST(WindowsDiscovery, RegistryKeysThatDoNotOpenStopEverythingAndAreAllClosed) {
    const struct {
        std::vector<std::size_t> path;  // subkey indexes below Enum; empty: Enum itself
        const char* message;
        std::vector<std::string> left;
    } cases[] = {
        {{}, "Could not read from HKLM\\Enum", {}},
        {{1}, "Could not read from HKLM\\Enum\\BIOS", {"COM1", "COM2"}},
        {{0, 0}, "Could not read from HKLM\\Enum\\ACPI\\*PNP0501", {}},
        {{0, 0, 1}, "Could not read from HKLM\\Enum\\...\\01", {"COM1"}},
    };
    for (const auto& c : cases) {
        FakeWindows windows = Windows95();
        RegistryNode* broken = &windows.enumKey;
        for (const std::size_t index : c.path) {
            broken = &broken->subkeys[index];
        }
        broken->opens = false;
        PortList ports;
        EXPECT_EQ(EnumerationError(ports, windows), c.message);
        EXPECT_EQ(NamesOf(ports), c.left) << c.message;
        EXPECT_TRUE(windows.openKeys.empty()) << c.message;
    }
}

}  // namespace
}  // namespace vorlen
