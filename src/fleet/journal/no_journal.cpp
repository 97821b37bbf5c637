// A build without SQLite keeps no journal: --journal is refused with the
// reason, and a run without it keeps none.
#include "fleet/journal/journal.h"

namespace vorlen::fleet {

std::unique_ptr<Journal> OpenJournal(const std::string&, std::string& failure) {
    failure = "this build of vorlen-provision keeps no journal";
    return nullptr;
}

std::unique_ptr<Journal> OpenJournalForReading(const std::string& where, std::string& failure) {
    return OpenJournal(where, failure);
}

std::string DefaultJournalFile() { return {}; }

std::string DefaultJournalFileToRead() { return {}; }

std::string DefaultOutboxFile() { return {}; }

std::string FileSha256(const std::string&) { return {}; }

std::string UtcNow() { return {}; }

}  // namespace vorlen::fleet
