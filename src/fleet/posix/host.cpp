#include "fleet/host.h"

#include <cstdlib>

#include <unistd.h>

namespace vorlen::fleet {

std::string HostName() {
    char name[256] = {};
    return gethostname(name, sizeof name - 1) == 0 ? std::string(name) : std::string();
}

std::filesystem::path UserDataFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && std::filesystem::path(data).is_absolute()) {
        return std::filesystem::path(data) / "vorlen";
    }
    const char* home = std::getenv("HOME");
    return home != nullptr && *home != 0
               ? std::filesystem::path(home) / ".local" / "share" / "vorlen"
               : std::filesystem::path();
}

std::tm UtcCalendar(std::time_t moment) {
    std::tm utc{};
    gmtime_r(&moment, &utc);
    return utc;
}

}  // namespace vorlen::fleet
