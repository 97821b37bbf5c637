#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <cstdio>
#include <ctime>

#include "provision/journal/journal.h"
#include "provision/journal/postgres_journal.h"
#include "provision/journal/sqlite_journal.h"

namespace vorlen::provision {
namespace {

bool NamesDatabase(const std::string& where) {
    return where.starts_with("postgresql://") || where.starts_with("postgres://");
}

// The user's data folder: %LOCALAPPDATA%\Vorlen on Windows, else
// $XDG_DATA_HOME/vorlen with ~/.local/share for an unset or relative one.
std::filesystem::path DataFolder() {
#ifdef _WIN32
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    return local != nullptr && *local != 0 ? std::filesystem::path(local) / L"Vorlen"
                                           : std::filesystem::path();
#else
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && std::filesystem::path(data).is_absolute()) {
        return std::filesystem::path(data) / "vorlen";
    }
    const char* home = std::getenv("HOME");
    return home != nullptr && *home != 0
               ? std::filesystem::path(home) / ".local" / "share" / "vorlen"
               : std::filesystem::path();
#endif
}

}  // namespace

std::unique_ptr<Journal> OpenJournal(const std::string& where, std::string& failure) {
    if (NamesDatabase(where)) {
        return PostgresJournal::Open(where, failure);
    }
    return SqliteJournal::Open(where, failure);
}

std::string DefaultJournalFile() {
    const std::filesystem::path folder = DataFolder();
    std::error_code error;
    if (folder.empty() || (std::filesystem::create_directories(folder, error), error)) {
        return {};
    }
    const std::u8string file = (folder / "journal.sqlite").u8string();
    return std::string(file.begin(), file.end());
}

std::string UtcNow() {
    using namespace std::chrono;
    const auto now = floor<milliseconds>(system_clock::now());
    const std::time_t whole = system_clock::to_time_t(floor<seconds>(now));
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &whole);
#else
    gmtime_r(&whole, &utc);
#endif
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  static_cast<int>(now.time_since_epoch().count() % 1000));
    return text;
}

}  // namespace vorlen::provision
