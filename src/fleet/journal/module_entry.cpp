// The module's side of vorlen-journal.so: the journal factory and the
// profile's SHA-256 behind C entry points (see journal_module.h).
#include <algorithm>
#include <cstring>
#include <string>

#include "fleet/journal/journal_module.h"
#include "fleet/journal/postgres_journal.h"
#include "fleet/journal/private_path.h"
#include "fleet/journal/sqlite_journal.h"

namespace vorlen::fleet {
namespace {

std::unique_ptr<Journal> Open(const std::string& where, bool forReading, const std::string& outbox,
                              std::string& failure) {
    if (NamesDatabase(where)) {
        if (forReading) {
            return PostgresJournal::Open(where, failure, PostgresJournal::Access::Read);
        }
        return OpenSharedJournal(where, outbox, failure);
    }
    return SqliteJournal::Open(where, failure,
                               forReading ? SqliteJournal::Access::Read : SqliteJournal::Access::Write);
}

void CopyOut(const std::string& text, char* buffer, std::size_t size) {
    if (size == 0) {
        return;
    }
    const std::size_t length = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

}  // namespace
}  // namespace vorlen::fleet

extern "C" {

const char* vorlen_journal_release() { return VORLEN_RELEASE; }

int vorlen_journal_open(const char* where, int forReading, const char* outbox, void** journal,
                        char* failure, std::size_t failureSize) {
    vorlen::fleet::KeepSqliteFilesPrivate();
    std::string reason;
    std::unique_ptr<vorlen::fleet::Journal> opened =
        vorlen::fleet::Open(where, forReading == 1, outbox, reason);
    if (!opened) {
        vorlen::fleet::CopyOut(reason, failure, failureSize);
        return 0;
    }
    *journal = opened.release();
    return 1;
}

int vorlen_journal_file_sha256(const char* file, char* hex, std::size_t hexSize) {
    const std::string digest = vorlen::fleet::FileSha256(file);
    if (digest.empty() || hexSize <= digest.size()) {
        return 0;
    }
    vorlen::fleet::CopyOut(digest, hex, hexSize);
    return 1;
}
}
