// The journal opened to be read, and the outbox's place: beside the default
// journal file, where a station's rows wait while the shared server does not
// answer.
#include "fleet/host.h"
#include "fleet/journal/journal.h"
#include "fleet/journal/postgres_journal.h"
#include "fleet/journal/private_path.h"
#include "fleet/journal/sqlite_journal.h"

namespace vorlen::fleet {

std::unique_ptr<Journal> OpenJournalForReading(const std::string& where, std::string& failure) {
    if (where.starts_with("postgresql://") || where.starts_with("postgres://")) {
        return PostgresJournal::Open(where, failure, PostgresJournal::Access::Read);
    }
    return SqliteJournal::Open(where, failure, SqliteJournal::Access::Read);
}

std::string DefaultJournalFileToRead() {
    const std::filesystem::path folder = UserDataFolder();
    if (folder.empty()) {
        return {};
    }
    const std::u8string file = (folder / "journal.sqlite").u8string();
    return std::string(file.begin(), file.end());
}

std::string DefaultOutboxFile() {
    const std::string journal = DefaultJournalFile();
    if (journal.empty()) {
        return {};
    }
    const std::u8string outbox =
        (std::filesystem::path(journal).parent_path() / "outbox.sqlite").u8string();
    return std::string(outbox.begin(), outbox.end());
}

}  // namespace vorlen::fleet
