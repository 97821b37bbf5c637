#include <chrono>
#include <filesystem>
#include <cstdio>
#include <ctime>

#include "fleet/host.h"
#include "fleet/journal/journal.h"
#include "fleet/journal/private_path.h"
#include "fleet/journal/sqlite_journal.h"

namespace vorlen::fleet {
namespace {

bool NamesDatabase(const std::string& where) {
    return where.starts_with("postgresql://") || where.starts_with("postgres://");
}

}  // namespace

std::unique_ptr<Journal> OpenJournal(const std::string& where, std::string& failure) {
    if (NamesDatabase(where)) {
        return OpenSharedJournal(where, DefaultOutboxFile(), failure);
    }
    return SqliteJournal::Open(where, failure);
}

std::string DefaultJournalFile() {
    const std::filesystem::path folder = UserDataFolder();
    std::string failure;
    if (folder.empty() || !MakePrivateFolders(folder, failure)) {
        return {};
    }
    const std::u8string file = (folder / "journal.sqlite").u8string();
    return std::string(file.begin(), file.end());
}

std::string UtcNow() {
    using namespace std::chrono;
    const auto now = floor<milliseconds>(system_clock::now());
    const std::time_t whole = system_clock::to_time_t(floor<seconds>(now));
    const std::tm utc = UtcCalendar(whole);
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  static_cast<int>(now.time_since_epoch().count() % 1000));
    return text;
}

}  // namespace vorlen::fleet
