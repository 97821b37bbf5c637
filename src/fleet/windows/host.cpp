#include "fleet/host.h"

#include <cstdlib>

#include <windows.h>

namespace vorlen::fleet {

std::string HostName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = sizeof name;
    return GetComputerNameA(name, &size) ? std::string(name, size) : std::string();
}

std::filesystem::path UserDataFolder() {
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    return local != nullptr && *local != 0 ? std::filesystem::path(local) / L"Vorlen"
                                           : std::filesystem::path();
}

std::tm UtcCalendar(std::time_t moment) {
    std::tm utc{};
    gmtime_s(&utc, &moment);
    return utc;
}

}  // namespace vorlen::fleet
