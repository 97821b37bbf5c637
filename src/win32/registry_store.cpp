#include "win32/registry_store.h"

#include <windows.h>

#include <vector>

#include "win32/wide_text.h"

namespace vorlen::win32 {
namespace {

constexpr const wchar_t* kKey = L"Software\\Vorlen\\Station";

std::string Failed(const char* what, LSTATUS status) {
    return std::string(what) + " HKEY_CURRENT_USER\\Software\\Vorlen\\Station failed, error " +
           std::to_string(status);
}

}  // namespace

std::optional<std::string> RegistryStore::Read(const std::string& key) const {
    const std::wstring name = WideOfUtf8(key);
    DWORD size = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, kKey, name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                       &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (::RegGetValueW(HKEY_CURRENT_USER, kKey, name.c_str(), RRF_RT_REG_SZ, nullptr, text.data(),
                       &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return Utf8OfWide(std::wstring(text.data()));
}

std::string RegistryStore::Write(const std::string& key, const std::string& value) {
    HKEY station = nullptr;
    if (const LSTATUS made = ::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE,
                                               nullptr, &station, nullptr);
        made != ERROR_SUCCESS) {
        return Failed("Opening", made);
    }
    const std::wstring name = WideOfUtf8(key);
    const std::wstring text = WideOfUtf8(value);
    const LSTATUS set = ::RegSetValueExW(station, name.c_str(), 0, REG_SZ,
                                         reinterpret_cast<const BYTE*>(text.c_str()),
                                         static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    const LSTATUS closed = ::RegCloseKey(station);
    if (set != ERROR_SUCCESS) {
        return Failed("Writing to", set);
    }
    return closed == ERROR_SUCCESS ? std::string() : Failed("Closing", closed);
}

}  // namespace vorlen::win32
