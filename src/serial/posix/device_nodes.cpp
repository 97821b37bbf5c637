#include "serial/posix/device_nodes.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "model/field_text.h"

namespace vorlen {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kFallbackLabel = "Serial port";

// In the order the operator sees them.
enum class PortGroup { Usb, Virtual, Other };

struct FoundPort {
    PortGroup group;
    std::string name;  // the node's name in /dev, the order within the group
    PortInfo info;
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view DigitRun(std::string_view text, std::size_t start) {
    std::size_t end = start;
    while (end < text.size() && IsDigit(text[end])) {
        ++end;
    }
    return text.substr(start, end - start);
}

// Names compared character by character, except that runs of digits compare
// as numbers: ttyUSB2 comes before ttyUSB10.
bool NaturalLess(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            const std::string_view runA = DigitRun(a, i);
            const std::string_view runB = DigitRun(b, j);
            i += runA.size();
            j += runB.size();
            const std::string_view numberA = runA.substr(std::min(runA.find_first_not_of('0'), runA.size()));
            const std::string_view numberB = runB.substr(std::min(runB.find_first_not_of('0'), runB.size()));
            if (numberA.size() != numberB.size()) {
                return numberA.size() < numberB.size();
            }
            if (numberA != numberB) {
                return numberA < numberB;
            }
        } else if (a[i] != b[j]) {
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
        } else {
            ++i;
            ++j;
        }
    }
    return i == a.size() && j < b.size();
}

std::optional<std::string> FirstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line)) {
        return std::nullopt;
    }
    return line;
}

// The last part of a sysfs link's target: the driver's or the bus's name.
std::string LinkTargetName(const fs::path& link) {
    std::error_code error;
    const fs::path target = fs::read_symlink(link, error);
    return error ? std::string() : target.filename().string();
}

// The 8250 driver registers ttyS entries for every port a PC might have; the
// ones with no UART behind them report the port type 0 (unknown).
bool HasNoUart(const fs::path& classEntry) {
    const auto type = FirstLine(classEntry / "type");
    return type && IntegerValue(*type) == 0;
}

// The product name of the USB device a port belongs to: the nearest
// directory above the port's device that names one.
std::string UsbProduct(const fs::path& device, const fs::path& sysRoot) {
    std::error_code error;
    const std::string below = fs::canonical(sysRoot, error).string() + '/';
    for (fs::path directory = device; !error && directory.string().starts_with(below);
         directory = directory.parent_path()) {
        if (auto product = FirstLine(directory / "product"); product && !product->empty()) {
            return *product;
        }
    }
    return {};
}

PortInfo Record(const fs::path& node, std::string_view label, std::string_view kernelName,
                bool usb) {
    PortInfo port;
    port.devicePath = node.string();
    port.portName = node.string();
    port.friendlyName = std::string(label) + " (" + std::string(kernelName) + ")";
    port.isUsb = usb ? 1 : 0;
    port.description = std::string(label);
    return port;
}

// Newer kernels put serial-base "port" and "ctrl" devices between a UART's
// tty and its controller; the controller's driver is the one worth showing.
fs::path ControllerOf(fs::path device) {
    while (device.has_relative_path() && LinkTargetName(device / "subsystem") == "serial-base") {
        device = device.parent_path();
    }
    return device;
}

FoundPort DescribeTty(const std::string& name, const fs::path& classEntry, const fs::path& node,
                      const fs::path& sysRoot) {
    std::error_code error;
    const fs::path resolved = fs::canonical(classEntry / "device", error);
    const fs::path device = error ? fs::path() : ControllerOf(resolved);
    const std::string bus = device.empty() ? std::string() : LinkTargetName(device / "subsystem");
    const bool usb = bus == "usb" || bus == "usb-serial";
    std::string label = usb ? UsbProduct(device, sysRoot) : std::string();
    if (label.empty() && !device.empty()) {
        label = LinkTargetName(device / "driver");
    }
    if (label.empty()) {
        label = kFallbackLabel;
    }
    return {usb ? PortGroup::Usb : PortGroup::Other, name, Record(node, label, name, usb)};
}

void AddTtyDevices(std::vector<FoundPort>& found, const fs::path& sysRoot,
                   const fs::path& devRoot) {
    for (const fs::directory_entry& entry : fs::directory_iterator(sysRoot / "class" / "tty")) {
        const std::string name = entry.path().filename().string();
        const fs::path node = devRoot / name;
        std::error_code error;
        if (!fs::exists(node, error)) {
            continue;
        }
        // Virtual consoles, ptmx and the like have no device behind them;
        // Bluetooth's rfcomm ports may not have one either.
        const bool hasDevice = fs::exists(entry.path() / "device", error);
        if ((!hasDevice && !name.starts_with("rfcomm")) || HasNoUart(entry.path())) {
            continue;
        }
        found.push_back(DescribeTty(name, entry.path(), node, sysRoot));
    }
}

bool IsPseudoTerminal(const fs::path& node) {
    const std::string number = node.filename().string();
    return node.parent_path().filename() == "pts" && !number.empty() &&
           std::all_of(number.begin(), number.end(), IsDigit);
}

// socat and the simulated tracker publish their pseudo-terminal as a link
// such as /dev/ttyV0 -> /dev/pts/3. A link whose terminal is gone is left out.
void AddVirtualPorts(std::vector<FoundPort>& found, const fs::path& devRoot) {
    for (const fs::directory_entry& entry : fs::directory_iterator(devRoot)) {
        const std::string name = entry.path().filename().string();
        std::error_code error;
        if (!name.starts_with("tty") || !entry.is_symlink(error)) {
            continue;
        }
        const fs::path terminal = fs::canonical(entry.path(), error);
        if (error || !IsPseudoTerminal(terminal)) {
            continue;
        }
        const std::string kernelName = "pts/" + terminal.filename().string();
        found.push_back({PortGroup::Virtual, name,
                         Record(entry.path(), kVirtualPortLabel, kernelName, false)});
    }
}

}  // namespace

void AddDeviceNodePorts(PortList& ports, const fs::path& sysRoot, const fs::path& devRoot) {
    std::vector<FoundPort> found;
    try {
        AddTtyDevices(found, sysRoot, devRoot);
        AddVirtualPorts(found, devRoot);
    } catch (const fs::filesystem_error& error) {
        throw PortEnumerationError("Could not read from " + error.path1().string());
    }
    std::sort(found.begin(), found.end(), [](const FoundPort& a, const FoundPort& b) {
        return a.group != b.group ? a.group < b.group : NaturalLess(a.name, b.name);
    });
    for (FoundPort& port : found) {
        ports.push_back(std::move(port.info));
    }
}

}  // namespace vorlen
