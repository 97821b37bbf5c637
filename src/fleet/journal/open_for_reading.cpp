// Where the default journal is to be read, and the outbox's place: beside
// the default journal file, where a station's rows wait while the shared
// server does not answer.
#include "fleet/host.h"
#include "fleet/journal/journal.h"
#include "profile/profile_file.h"

namespace vorlen::fleet {

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
        (FilePath(journal).parent_path() / "outbox.sqlite").u8string();
    return std::string(outbox.begin(), outbox.end());
}

}  // namespace vorlen::fleet
