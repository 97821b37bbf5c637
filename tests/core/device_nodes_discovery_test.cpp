// Linux port discovery on a fake /sys and /dev built in a temporary directory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "serial/posix/device_nodes.h"
#include "serial/posix/enumerate_device_nodes.h"
#include "serial/posix/by_path.h"
#include "serial/socket_name.h"

namespace vorlen {
namespace {

namespace fs = std::filesystem;

// A machine's /sys and /dev in miniature, laid out as the kernel does:
// /sys/class/tty/NAME links to the tty's directory below the device, whose
// "device" link leads back up to the device with its "driver" and
// "subsystem" (bus) links.
class FakeMachine {
public:
    FakeMachine() {
        char pattern[] = "/tmp/vorlen-devices-XXXXXX";
        root_ = ::mkdtemp(pattern);
        fs::create_directories(sys() / "class" / "tty");
        fs::create_directories(dev() / "pts");
    }
    ~FakeMachine() { fs::remove_all(root_); }
    FakeMachine(const FakeMachine&) = delete;
    FakeMachine& operator=(const FakeMachine&) = delete;

    fs::path sys() const { return root_ / "sys"; }
    fs::path dev() const { return root_ / "dev"; }

    // A tty with a device at sys/devices/<device>, on `bus` with `driver`.
    void AddTty(const std::string& name, const std::string& device, const std::string& bus,
                const std::string& driver, const std::string& type = "") {
        AddDevice(device, bus, driver);
        const fs::path deviceDir = sys() / "devices" / device;
        const fs::path ttyDir = deviceDir / "tty" / name;
        fs::create_directories(ttyDir);
        Link(ttyDir / "device", deviceDir);
        Link(sys() / "class" / "tty" / name, ttyDir);
        if (!type.empty()) {
            Write(ttyDir / "type", type + "\n");
        }
        AddNode(name);
    }

    void AddDevice(const std::string& device, const std::string& bus, const std::string& driver) {
        const fs::path deviceDir = sys() / "devices" / device;
        fs::create_directories(sys() / "bus" / bus / "drivers" / driver);
        Link(deviceDir / "driver", sys() / "bus" / bus / "drivers" / driver);
        Link(deviceDir / "subsystem", sys() / "bus" / bus);
    }

    // A tty with nothing behind it, like the virtual consoles.
    void AddBareTty(const std::string& name) {
        const fs::path ttyDir = sys() / "devices" / "virtual" / "tty" / name;
        fs::create_directories(ttyDir);
        Link(sys() / "class" / "tty" / name, ttyDir);
        AddNode(name);
    }

    void AddProduct(const std::string& device, const std::string& product) {
        Write(sys() / "devices" / device / "product", product + "\n");
    }

    void AddNode(const std::string& name) { Write(dev() / name, ""); }

    // Unplugged: the kernel drops the tty and its device, udev the node.
    void RemoveTty(const std::string& name, const std::string& device) {
        fs::remove(sys() / "class" / "tty" / name);
        fs::remove_all(sys() / "devices" / device);
        fs::remove(dev() / name);
    }

    // Several ttys may share a device, and with it its links.
    void Link(const fs::path& link, const fs::path& target) {
        if (fs::is_symlink(link)) {
            return;
        }
        fs::create_directories(link.parent_path());
        fs::create_symlink(fs::relative(target, link.parent_path()), link);
    }

private:
    static void Write(const fs::path& file, const std::string& text) { std::ofstream(file) << text; }

    fs::path root_;
};

constexpr const char* kUsbHub = "pci0000:00/0000:00:14.0/usb1";

void AddEveryKindOfPort(FakeMachine& machine) {
    const std::string hub = kUsbHub;
    machine.AddTty("ttyUSB10", hub + "/1-1/1-1:1.0/ttyUSB10", "usb-serial", "ftdi_sio");
    machine.AddTty("ttyUSB2", hub + "/1-2/1-2:1.0/ttyUSB2", "usb-serial", "cp210x");
    machine.AddProduct(hub + "/1-2", "CP2102 USB to UART Bridge Controller");
    machine.AddTty("ttyACM0", hub + "/1-3/1-3:1.0", "usb", "cdc_acm");
    machine.AddProduct(hub + "/1-3", "Tracker Modem");
    machine.AddTty("ttyUSB3", hub + "/1-4/1-4:1.0/ttyUSB3", "usb-serial", "pl2303");
    fs::remove(machine.dev() / "ttyUSB3");  // unplugged: no node any more

    // On-board UARTs as newer kernels show them: tty, serial-base port and
    // controller devices, then the UART's own controller.
    machine.AddDevice("platform/serial8250", "platform", "serial8250");
    machine.AddDevice("platform/serial8250/serial8250:0", "serial-base", "ctrl");
    machine.AddTty("ttyS4", "platform/serial8250/serial8250:0/serial8250:0.4", "serial-base",
                   "port", "4");
    machine.AddTty("ttyS5", "platform/serial8250/serial8250:0/serial8250:0.5", "serial-base",
                   "port", "0");
    machine.AddTty("ttyAMA0", "platform/fe201000.serial", "amba", "uart-pl011");
    machine.AddBareTty("tty0");
    machine.AddBareTty("rfcomm0");

    machine.AddNode("pts/3");
    machine.Link(machine.dev() / "ttyVirtual", machine.dev() / "pts" / "3");
    machine.Link(machine.dev() / "ttyGone", machine.dev() / "pts" / "9");
    machine.Link(machine.dev() / "ttyToUsb", machine.dev() / "ttyUSB2");
    machine.Link(machine.dev() / "serial0", machine.dev() / "pts" / "3");
}

TEST(DeviceNodes, ListsUsbAdaptersThenVirtualPortsThenOtherUarts) {
    FakeMachine machine;
    AddEveryKindOfPort(machine);
    PortList ports = {PortInfo{"stale", "stale", "", 0, ""}};
    EnumeratePorts(ports, DeviceRoots{machine.sys(), machine.dev()});

    const struct {
        const char* name;
        const char* friendlyName;
        int isUsb;
        const char* description;
    } expected[] = {
        {"ttyACM0", "Tracker Modem (ttyACM0)", 1, "Tracker Modem"},
        {"ttyUSB2", "CP2102 USB to UART Bridge Controller (ttyUSB2)", 1,
         "CP2102 USB to UART Bridge Controller"},
        {"ttyUSB10", "ftdi_sio (ttyUSB10)", 1, "ftdi_sio"},
        {"ttyVirtual", "Virtual serial port (pts/3)", 0, "Virtual serial port"},
        {"rfcomm0", "Serial port (rfcomm0)", 0, "Serial port"},
        {"ttyAMA0", "uart-pl011 (ttyAMA0)", 0, "uart-pl011"},
        {"ttyS4", "serial8250 (ttyS4)", 0, "serial8250"},
    };
    ASSERT_EQ(ports.size(), std::size(expected));
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const std::string path = (machine.dev() / expected[i].name).string();
        EXPECT_EQ(ports[i].portName, path);
        EXPECT_EQ(ports[i].devicePath, path);
        EXPECT_EQ(ports[i].friendlyName, expected[i].friendlyName);
        EXPECT_EQ(ports[i].isUsb, expected[i].isUsb) << expected[i].name;
        EXPECT_EQ(ports[i].description, expected[i].description);
    }
}

// The names the list shows, as the window asks for them each time it is
// opened, with the same list object.
std::vector<std::string> ListedNames(const FakeMachine& machine, PortList& ports) {
    EnumeratePorts(ports, DeviceRoots{machine.sys(), machine.dev()});
    std::vector<std::string> names;
    for (const PortInfo& port : ports) {
        names.push_back(fs::path(port.portName).filename().string());
    }
    return names;
}

TEST(DeviceNodes, EachEnumerationListsThePortsOfThatMoment) {
    FakeMachine machine;
    const std::string hub = kUsbHub;
    const std::string first = hub + "/1-1/1-1:1.0/ttyUSB0";
    const std::string second = hub + "/1-2/1-2:1.0/ttyUSB1";
    machine.AddTty("ttyAMA0", "platform/fe201000.serial", "amba", "uart-pl011");
    machine.AddTty("ttyUSB0", first, "usb-serial", "ch341");
    PortList ports;
    EXPECT_EQ(ListedNames(machine, ports), (std::vector<std::string>{"ttyUSB0", "ttyAMA0"}));

    // A second cable plugged in after the start.
    machine.AddTty("ttyUSB1", second, "usb-serial", "cp210x");
    EXPECT_EQ(ListedNames(machine, ports),
              (std::vector<std::string>{"ttyUSB0", "ttyUSB1", "ttyAMA0"}));

    // The first pulled out: gone from the list, even though a program may
    // still hold it open.
    machine.RemoveTty("ttyUSB0", first);
    EXPECT_EQ(ListedNames(machine, ports), (std::vector<std::string>{"ttyUSB1", "ttyAMA0"}));

    // Plugged in again while ttyUSB1 is taken: the kernel names it anew.
    machine.AddTty("ttyUSB2", first, "usb-serial", "ch341");
    machine.RemoveTty("ttyUSB1", second);
    EXPECT_EQ(ListedNames(machine, ports), (std::vector<std::string>{"ttyUSB2", "ttyAMA0"}));
}

TEST(DeviceNodes, AnUnreadableTreeIsAnErrorCarryingThePath) {
    const FakeMachine machine;
    fs::remove_all(machine.sys() / "class");
    PortList ports;
    try {
        EnumeratePorts(ports, DeviceRoots{machine.sys(), machine.dev()});
        FAIL() << "no error";
    } catch (const PortEnumerationError& error) {
        EXPECT_NE(std::string(error.what()).find("class/tty"), std::string::npos) << error.what();
    }
    EXPECT_TRUE(ports.empty());
}

// A station's slot is the socket: udev's by-path link for it leads to
// whichever ttyUSB the adapter got this time.
TEST(DeviceNodes, AUsbPortIsNamedByItsSocketAcrossReplugs) {
    FakeMachine machine;
    const std::string hub = kUsbHub;
    machine.AddTty("ttyUSB0", hub + "/1-1/1-1:1.0/ttyUSB0", "usb-serial", "ch341");
    machine.AddTty("ttyAMA0", "platform/fe201000.serial", "amba", "uart-pl011");
    const fs::path byPath = machine.dev() / "serial" / "by-path";
    const fs::path socket = byPath / "pci-0000:00:14.0-usb-0:1:1.0-port0";
    machine.Link(socket, machine.dev() / "ttyUSB0");
    const std::string usb0 = (machine.dev() / "ttyUSB0").string();
    const std::string amba = (machine.dev() / "ttyAMA0").string();

    EXPECT_EQ(SocketPortName(usb0, byPath), socket.string());
    EXPECT_EQ(SocketPortName(amba, byPath), amba);
    EXPECT_EQ(SocketPortName(usb0, machine.dev() / "no-such-folder"), usb0);
    EXPECT_TRUE(SamePort(socket.string(), usb0));
    EXPECT_FALSE(SamePort(socket.string(), amba));

    // Replugged while ttyUSB0 was still held: the same socket, a new name.
    fs::remove(socket);
    machine.AddTty("ttyUSB1", hub + "/1-1/1-1:1.0/ttyUSB1", "usb-serial", "ch341");
    machine.Link(socket, machine.dev() / "ttyUSB1");
    EXPECT_EQ(SocketPortName((machine.dev() / "ttyUSB1").string(), byPath), socket.string());
    EXPECT_EQ(SocketPortName(usb0, byPath), usb0);

    // Real ports are device nodes, which std::filesystem will not compare.
    const fs::path nodeSocket = byPath / "pci-0000:00:14.0-usb-0:3:1.0-port0";
    fs::create_symlink("/dev/null", nodeSocket);
    EXPECT_EQ(SocketPortName("/dev/null", byPath), nodeSocket.string());
    EXPECT_TRUE(SamePort(nodeSocket.string(), "/dev/null"));
}

}  // namespace
}  // namespace vorlen
