#include "serial/windows/win32_system.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <vector>

namespace vorlen {

namespace {

// GUID_DEVINTERFACE_COMPORT, {86E0D1E0-8089-11D0-9CE4-08003E301F73}.
constexpr GUID kComPortInterface = {
    0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};

constexpr DWORD kPathCharacters = 256;
constexpr DWORD kPropertyBytes = 256;
constexpr DWORD kRegistryTextBytes = 128;
// RegEnumValueA's longest value name, plus its terminator.
constexpr DWORD kValueNameCharacters = 16384;

// The text in the first `size` bytes of a buffer, up to its first zero byte
// if it has one: registry and property data need not end in one.
std::string TextOf(const char* data, std::size_t size) {
    const void* zero = std::memchr(data, '\0', size);
    return std::string(data, zero ? static_cast<const char*>(zero) - data : size);
}

HKEY HandleOf(RegistryKey key) {
    // The predefined key is the sign-extended 0x80000002 on 64-bit Windows.
    return key == kLocalMachine ? HKEY_LOCAL_MACHINE : reinterpret_cast<HKEY>(key);
}

}  // namespace

Win32System::~Win32System() { ClosePortDevices(); }

bool Win32System::Failed() {
    lastError_ = ::GetLastError();
    return false;
}

bool Win32System::Succeeded(LSTATUS status) {
    lastError_ = static_cast<std::uint32_t>(status);
    return status == ERROR_SUCCESS;
}

std::optional<OsVersion> Win32System::Version() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!::GetVersionExA(&version)) {
        Failed();
        return std::nullopt;
    }
    return OsVersion{version.dwMajorVersion, version.dwPlatformId};
}

bool Win32System::OpenPortDevices() {
    ClosePortDevices();
    devices_ = ::SetupDiGetClassDevsA(&kComPortInterface, nullptr, nullptr,
                                      DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    return devices_ != INVALID_HANDLE_VALUE || Failed();
}

bool Win32System::SelectPortInterface(std::uint32_t index) {
    interface_ = {};
    interface_.cbSize = sizeof interface_;
    return ::SetupDiEnumDeviceInterfaces(devices_, nullptr, &kComPortInterface, index,
                                         &interface_) ||
           Failed();
}

std::optional<std::string> Win32System::InterfaceDevicePath() {
    // The record's fixed part, then room for 256 characters and a terminator.
    constexpr std::size_t pathOffset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
    std::vector<std::max_align_t> storage(
        (pathOffset + kPathCharacters + 1 + sizeof(std::max_align_t) - 1) /
        sizeof(std::max_align_t));
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(storage.data());
    detail->cbSize = sizeof *detail;
    device_ = {};
    device_.cbSize = sizeof device_;
    const auto size = static_cast<DWORD>(pathOffset + kPathCharacters + 1);
    if (!::SetupDiGetDeviceInterfaceDetailA(devices_, &interface_, detail, size, nullptr,
                                            &device_)) {
        Failed();
        return std::nullopt;
    }
    return TextOf(detail->DevicePath, kPathCharacters + 1);
}

std::optional<std::string> Win32System::DevicePropertyText(DeviceProperty property) {
    std::array<char, kPropertyBytes> value{};
    DWORD size = 0;
    // A value that does not fit fails with ERROR_INSUFFICIENT_BUFFER.
    if (!::SetupDiGetDeviceRegistryPropertyA(devices_, &device_, static_cast<DWORD>(property),
                                             nullptr, reinterpret_cast<BYTE*>(value.data()),
                                             kPropertyBytes, &size)) {
        Failed();
        return std::nullopt;
    }
    return TextOf(value.data(), std::min<std::size_t>(size, value.size()));
}

void Win32System::ClosePortDevices() {
    if (devices_ != INVALID_HANDLE_VALUE) {
        ::SetupDiDestroyDeviceInfoList(devices_);
        devices_ = INVALID_HANDLE_VALUE;
    }
}

std::optional<RegistryKey> Win32System::OpenKey(RegistryKey parent, const std::string& name) {
    HKEY key = nullptr;
    if (!Succeeded(::RegOpenKeyExA(HandleOf(parent), name.c_str(), 0, KEY_READ, &key))) {
        return std::nullopt;
    }
    return reinterpret_cast<RegistryKey>(key);
}

std::optional<std::string> Win32System::SubkeyName(RegistryKey key, std::uint32_t index) {
    std::array<char, kRegistryTextBytes> name{};
    DWORD length = kRegistryTextBytes;
    if (!Succeeded(::RegEnumKeyExA(HandleOf(key), index, name.data(), &length, nullptr, nullptr,
                                   nullptr, nullptr))) {
        return std::nullopt;
    }
    return TextOf(name.data(), std::min<std::size_t>(length, name.size()));
}

std::optional<std::string> Win32System::TextValue(RegistryKey key, const std::string& name) {
    std::array<char, kRegistryTextBytes> data{};
    DWORD size = kRegistryTextBytes;
    if (!Succeeded(::RegQueryValueExA(HandleOf(key), name.c_str(), nullptr, nullptr,
                                      reinterpret_cast<BYTE*>(data.data()), &size))) {
        return std::nullopt;
    }
    return TextOf(data.data(), std::min<std::size_t>(size, data.size()));
}

std::optional<std::string> Win32System::ValueText(RegistryKey key, std::uint32_t index) {
    std::vector<char> name(kValueNameCharacters);
    DWORD nameLength = kValueNameCharacters;
    std::array<char, kRegistryTextBytes> data{};
    DWORD size = kRegistryTextBytes;
    if (!Succeeded(::RegEnumValueA(HandleOf(key), index, name.data(), &nameLength, nullptr,
                                   nullptr, reinterpret_cast<BYTE*>(data.data()), &size))) {
        return std::nullopt;
    }
    return TextOf(data.data(), std::min<std::size_t>(size, data.size()));
}

void Win32System::CloseKey(RegistryKey key) { ::RegCloseKey(HandleOf(key)); }

}  // namespace vorlen
