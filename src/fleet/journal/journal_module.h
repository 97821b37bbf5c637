// The journal's database code (SQLite, PostgreSQL through libpq, and the
// SHA-256 of a profile over OpenSSL) lives in a module of its own,
// vorlen-journal.so, loaded when a journal is first opened. The form starts
// without those libraries and their dependencies (Kerberos, LDAP, libssl),
// which most desk sessions never need; the station's Start and
// vorlen-provision load them.
//
// The module's entry points are C functions, so that a module is looked up
// by plain names; both sides are built from this header by one build, and
// the module says which release it belongs to.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "fleet/journal/journal.h"

// VORLEN_JOURNAL_ENTRY, set by the build, exports an entry point from the
// module (the module's other symbols stay hidden) and is empty for its users.
extern "C" {

// The release the module was built for, as "1.04".
VORLEN_JOURNAL_ENTRY const char* vorlen_journal_release();

// 1 with `*journal` holding a new vorlen::fleet::Journal that the caller
// owns; 0 with the reason in `failure` (cut to `failureSize` bytes, always
// NUL-terminated). A journal opened `forReading` (1) creates and changes
// nothing; one opened to write (0) on a database keeps the rows its server
// does not take in the SQLite file `outbox`.
VORLEN_JOURNAL_ENTRY int vorlen_journal_open(const char* where, int forReading,
                                                               const char* outbox, void** journal,
                                                               char* failure,
                                                               std::size_t failureSize);

// 1 with the file's SHA-256 in `hex` as 64 lowercase hex digits and a NUL
// (`hexSize` at least 65); 0 when the file cannot be read.
VORLEN_JOURNAL_ENTRY int vorlen_journal_file_sha256(const char* file, char* hex,
                                                                      std::size_t hexSize);
}

namespace vorlen::fleet {

// The module's entry points, once it is loaded. A loaded module stays for
// the rest of the process: the journals it made run its code.
struct JournalModule {
    decltype(&vorlen_journal_open) open = nullptr;
    decltype(&vorlen_journal_file_sha256) fileSha256 = nullptr;
};

// Where this program finds the module, fixed by the build: beside the build
// tree's programs (build/lib/vorlen/) for a program run from the build tree,
// otherwise under the installed library folder
// (/usr/lib/<multiarch>/vorlen/).
std::string JournalModulePath();

// Loads the module at `path`. Nothing, with a message naming the path and
// the loader's reason, when it is missing, not a module, lacks an entry
// point or belongs to another release.
std::optional<JournalModule> LoadJournalModule(const std::string& path, std::string& failure);

enum class JournalAccess { Write, Read };

// "postgresql://" and "postgres://" name a database, anything else a file.
inline bool NamesDatabase(const std::string& where) {
    return where.starts_with("postgresql://") || where.starts_with("postgres://");
}

// OpenJournal (Write) or OpenJournalForReading (Read) with the module at
// `modulePath`.
std::unique_ptr<Journal> OpenJournalFrom(const std::string& modulePath, const std::string& where,
                                         JournalAccess access, std::string& failure);

}  // namespace vorlen::fleet
