// The journal in one SQLite file. Several processes may write the same file
// at once: the file is in WAL mode, each statement is a transaction of its
// own, and a writer waits for the others instead of failing.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "fleet/journal/journal.h"

struct sqlite3;

namespace vorlen::fleet {

class SqliteJournal : public Journal {
public:
    // Nothing, with the reason in `failure`, when the file cannot be opened
    // or holds a later schema.
    static std::unique_ptr<SqliteJournal> Open(const std::string& file, std::string& failure);
    ~SqliteJournal() override;

    std::int64_t Begin(const JournalEntry& entry) override;
    bool Finish(const JournalEntry& entry) override;
    bool Newest(int limit, const std::string& imei, std::vector<JournalEntry>& rows) override;
    std::string LastError() const override;

private:
    explicit SqliteJournal(sqlite3* db) : db_(db) {}
    bool Prepare();

    sqlite3* db_;
    mutable std::mutex mutex_;
    std::string error_;
};

}  // namespace vorlen::fleet
