#include <chrono>
#include <filesystem>
#include <cstdio>
#include <ctime>

#include "fleet/host.h"
#include "fleet/journal/journal.h"
#include "fleet/journal/journal_module.h"
#include "fleet/journal/private_path.h"

namespace vorlen::fleet {

std::unique_ptr<Journal> OpenJournalFrom(const std::string& modulePath, const std::string& where,
                                         JournalAccess access, std::string& failure) {
    const std::optional<JournalModule> module = LoadJournalModule(modulePath, failure);
    if (!module) {
        return nullptr;
    }
    // A database's rows wait in the outbox while its server does not answer;
    // a reader writes nothing, so it needs none.
    const std::string outbox =
        access == JournalAccess::Write && NamesDatabase(where) ? DefaultOutboxFile() : "";
    void* journal = nullptr;
    char reason[2048] = "";
    if (module->open(where.c_str(), access == JournalAccess::Read ? 1 : 0, outbox.c_str(), &journal,
                     reason, sizeof reason) != 1 ||
        !journal) {
        failure = reason;
        return nullptr;
    }
    return std::unique_ptr<Journal>(static_cast<Journal*>(journal));
}

std::unique_ptr<Journal> OpenJournal(const std::string& where, std::string& failure) {
    return OpenJournalFrom(JournalModulePath(), where, JournalAccess::Write, failure);
}

std::unique_ptr<Journal> OpenJournalForReading(const std::string& where, std::string& failure) {
    return OpenJournalFrom(JournalModulePath(), where, JournalAccess::Read, failure);
}

std::string FileSha256(const std::string& file) {
    std::string failure;
    const std::optional<JournalModule> module = LoadJournalModule(JournalModulePath(), failure);
    char hex[65] = "";
    if (!module || module->fileSha256(file.c_str(), hex, sizeof hex) != 1) {
        return {};
    }
    return hex;
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
