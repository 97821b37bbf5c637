// A PostgreSQL journal that loses no row to an outage of the server. A row
// goes straight to the server while it answers and nothing waits; otherwise
// it is kept in the outbox, an SQLite journal file on this machine, with its
// own times, and a sender sends the outbox's rows in their order once the
// server answers again, connecting again with a back-off of its own. A row
// sent again after its answer was lost is found on the server, not doubled.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "fleet/journal/postgres_journal.h"
#include "fleet/journal/sqlite_journal.h"

namespace vorlen::fleet {

// The waits between attempts to reach the server again: doubled from the
// first to the last, then the last.
struct Backoff {
    std::chrono::milliseconds first{250};
    std::chrono::milliseconds last{8000};
};

class SharedJournal : public Journal {
public:
    // `outbox` may be null: then a row the server does not take is lost, and
    // said so.
    SharedJournal(std::unique_ptr<PostgresJournal> server, std::unique_ptr<SqliteJournal> outbox,
                  Backoff backoff = {});
    ~SharedJournal() override;

    std::int64_t Begin(const JournalEntry& entry) override;
    bool Finish(const JournalEntry& entry) override;
    bool Newest(int limit, const std::string& imei, std::vector<JournalEntry>& rows) override;
    bool Find(const JournalFilter& filter, long long limit, const JournalRowSink& row) override;
    bool Count(const JournalFilter& filter, long long& count) override;
    bool NumbersOf(const std::string& imei, const std::vector<std::string>& series,
                   std::vector<long long>& numbers) override;
    std::int64_t BeginNumbered(JournalEntry entry, const std::vector<std::string>& series,
                               const NumberedValues& deviceValues,
                               std::vector<long long>& numbers) override;
    std::string LastError() const override;
    JournalHealth Health() const override;
    JournalHealth Settle() override;

private:
    bool Direct() const;
    std::string NoServerForNumbers() const;
    std::int64_t KeepBegun(const JournalEntry& entry);
    bool KeepFinished(JournalEntry entry);
    bool OutboxFailed(const std::string& why);
    void Send(std::stop_token stop);
    bool SendWaiting();
    bool SendRow(const JournalEntry& row);

    const std::unique_ptr<PostgresJournal> server_;
    const std::unique_ptr<SqliteJournal> outbox_;
    const Backoff backoff_;
    mutable std::mutex mutex_;         // the order of rows: straight or through the outbox
    std::condition_variable_any rowWaits_;
    int waiting_ = 0;                  // rows in the outbox
    std::set<std::int64_t> begun_;     // outbox rows whose start the server holds
    std::set<std::int64_t> left_;      // outbox rows a run before this one left
    bool toSend_ = false;              // rows arrived or could not be sent yet
    std::string error_;
    std::string fault_;
    bool taking_ = true;
    std::jthread sender_;  // last: it stops before the rest goes
};

}  // namespace vorlen::fleet
