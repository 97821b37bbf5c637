// The journal in a PostgreSQL database that several stations share. Every
// row is one INSERT ... RETURNING id and later one UPDATE of that id, so rows
// of stations writing at once never mix.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "fleet/journal/journal.h"

struct pg_conn;

namespace vorlen::fleet {

class PostgresJournal : public Journal {
public:
    // `uri`: a libpq connection URI. Nothing, with the reason in `failure`,
    // when the database cannot be reached or holds a later schema.
    static std::unique_ptr<PostgresJournal> Open(const std::string& uri, std::string& failure);
    ~PostgresJournal() override;

    std::int64_t Begin(const JournalEntry& entry) override;
    bool Finish(const JournalEntry& entry) override;
    bool Newest(int limit, const std::string& imei, std::vector<JournalEntry>& rows) override;
    std::string LastError() const override;

private:
    explicit PostgresJournal(pg_conn* connection) : connection_(connection) {}
    bool Prepare();

    pg_conn* connection_;
    mutable std::mutex mutex_;
    std::string error_;
};

}  // namespace vorlen::fleet
