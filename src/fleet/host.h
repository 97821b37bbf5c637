// What the fleet needs of the machine it runs on; the build picks posix/ or
// windows/.
#pragma once

#include <ctime>
#include <filesystem>
#include <string>

namespace vorlen::fleet {

// The machine's name, for a journal row's station; empty when unknown.
std::string HostName();

// The user's data folder: %LOCALAPPDATA%\Vorlen on Windows, else
// $XDG_DATA_HOME/vorlen with ~/.local/share for an unset or relative one.
// Empty when the environment names none.
std::filesystem::path UserDataFolder();

// The calendar time in UTC of a moment.
std::tm UtcCalendar(std::time_t moment);

}  // namespace vorlen::fleet
