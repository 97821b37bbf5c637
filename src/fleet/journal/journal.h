// The journal: one row per tracker that vorlen-provision touched, kept in an
// SQLite file or a PostgreSQL database, so that a tracker's configuration can
// be traced by its IMEI long after the run.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vorlen::fleet {

// One row of the table `provisioning`. Texts are UTF-8; times are UTC as
// "YYYY-MM-DDTHH:MM:SS.mmmZ". An empty text, and a failed step of 0, are
// stored as NULL; an unfinished row has no `finished` and no `result`.
struct JournalEntry {
    std::int64_t id = 0;
    std::string started;
    std::string finished;
    std::string station;
    std::string operatorName;
    std::string port;
    std::string imei;
    std::string softwareVersion;
    std::string mode;             // provision, check or read
    std::string profile;          // the profile file's name as given
    std::string profileSha256;    // of the file's bytes, lowercase hex
    std::string deviceValues;     // JSON object: the device row's keys and values
    std::string result;
    int failedStep = 0;
    std::string failure;
    std::string differences;      // JSON array of {key, expected, actual}
    double wakeSeconds = 0;
    double identifySeconds = 0;
    double setAllSeconds = 0;
    double verifySeconds = 0;
    double totalSeconds = 0;
};

// Each call is one statement in a transaction of its own; calls may come
// from several threads at once. A failing call returns false (or nothing)
// and leaves the reason in LastError.
class Journal {
public:
    virtual ~Journal() = default;

    // Writes the row's first half; its id, or 0 when it could not be written.
    virtual std::int64_t Begin(const JournalEntry& entry) = 0;

    // Writes every column of row `entry.id`.
    virtual bool Finish(const JournalEntry& entry) = 0;

    // The newest `limit` rows, newest first; only the tracker's when `imei`
    // is not empty. False when they cannot be read.
    virtual bool Newest(int limit, const std::string& imei, std::vector<JournalEntry>& rows) = 0;

    virtual std::string LastError() const = 0;
};

// "postgresql://" and "postgres://" name a database, anything else a file.
// Creates the table when it is missing; refuses a journal of a later schema.
// Nothing, with the reason in `failure`, when it cannot be opened.
std::unique_ptr<Journal> OpenJournal(const std::string& where, std::string& failure);

// The default journal file in the user's data folder, its folder created; ""
// when no such folder is known or this build keeps no journal.
std::string DefaultJournalFile();

// The SHA-256 of the file's bytes in lowercase hex; "" when it cannot be read.
std::string FileSha256(const std::string& file);

// UTC now, as the journal's times are written.
std::string UtcNow();

}  // namespace vorlen::fleet
