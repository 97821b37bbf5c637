// The journal: one row per tracker that vorlen-provision touched, kept in an
// SQLite file or a PostgreSQL database, so that a tracker's configuration can
// be traced by its IMEI long after the run.
#pragma once

#include <cstdint>
#include <functional>
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
    std::string lot;              // the batch the tracker belongs to (--lot)
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

// Which rows --history and --summary read. Each list matches any of its
// values and an empty one matches all; the lists together match a row that
// each of them matches. Times are UTC texts as the journal writes them.
struct JournalFilter {
    std::string since = {};                  // started at or after; "" for the first row
    std::string until = {};                  // started before; "" for the last row
    std::vector<std::string> stations = {};
    std::vector<std::string> operators = {};
    std::vector<std::string> lots = {};
    std::vector<std::string> profiles = {};  // the profile's name as the run was given it
    std::vector<std::string> results = {};   // result names; "unfinished" for a row without one
    std::string imei = {};                   // "" for every tracker
};

// Takes the rows one by one as they are read; false stops the reading.
using JournalRowSink = std::function<bool(const JournalEntry&)>;

// Whether the journal takes rows now, as a station shows it.
struct JournalHealth {
    bool taking = true;      // false once a row could not be kept at all
    int waiting = 0;         // rows kept in the outbox for the server that does not answer
    std::string fault;       // why rows wait or are not kept, "" when all is well

    bool operator==(const JournalHealth&) const = default;
};

// Each call is one statement in a transaction of its own; calls may come
// from several threads at once. A failing call returns false (or nothing)
// and leaves the reason in LastError.
class Journal {
public:
    virtual ~Journal() = default;

    // Writes the row's first half; its id (any number but 0, to be given to
    // Finish), or 0 when it could not be written.
    virtual std::int64_t Begin(const JournalEntry& entry) = 0;

    // Writes every column of row `entry.id`.
    virtual bool Finish(const JournalEntry& entry) = 0;

    // The newest `limit` rows, newest first; only the tracker's when `imei`
    // is not empty. False when they cannot be read.
    virtual bool Newest(int limit, const std::string& imei, std::vector<JournalEntry>& rows) = 0;

    // The rows the filter matches, newest start first, at most `limit` of
    // them (0 for all), each handed to `row` as it is read, so that a whole
    // journal is never held at once. False when they cannot be read.
    virtual bool Find(const JournalFilter& filter, long long limit, const JournalRowSink& row) = 0;

    // How many rows the filter matches.
    virtual bool Count(const JournalFilter& filter, long long& count) = 0;

    virtual std::string LastError() const = 0;

    // Numbered series (fleet/numbered_value.h), each named by its value with
    // "{n}" for the number. `numbers` gets the tracker's number in each
    // series, in their order, 0 where it has none; false when they cannot be
    // read. A journal that keeps no series has no numbers.
    virtual bool NumbersOf(const std::string& /*imei*/, const std::vector<std::string>& series,
                           std::vector<long long>& numbers) {
        numbers.assign(series.size(), 0);
        return false;
    }

    // One transaction: the tracker `entry.imei`'s number in each series (its
    // own from an earlier row, else the next of the series, kept for it),
    // then the row's first half as Begin writes it, its device values given
    // by `deviceValues` from the numbers. The row's id with `numbers` filled
    // in; 0 with nothing drawn and nothing written.
    using NumberedValues = std::function<std::string(const std::vector<long long>& numbers)>;
    virtual std::int64_t BeginNumbered(JournalEntry /*entry*/,
                                       const std::vector<std::string>& /*series*/,
                                       const NumberedValues& /*deviceValues*/,
                                       std::vector<long long>& numbers) {
        numbers.clear();
        return 0;
    }

    // Safe from any thread at any time.
    virtual JournalHealth Health() const = 0;

    // As the program ends: rows that wait are sent while the server answers;
    // the state after that.
    virtual JournalHealth Settle() { return Health(); }
};

// "postgresql://" and "postgres://" name a database, anything else a file.
// Nothing is written until the database is known to be this program's
// journal (or holds nothing of one: then the table is created); a table
// provisioning of other columns, or another schema version, is refused.
// A new file is readable by its owner only. A database's rows that cannot be
// sent wait in an outbox beside the default journal file (OpenSharedJournal).
// Nothing, with the reason in `failure`, when it cannot be opened.
std::unique_ptr<Journal> OpenJournal(const std::string& where, std::string& failure);

// The journal to read only, as --history does: nothing is created or
// changed, so a read-only file or a role that may only SELECT will do. A
// file that is not there is refused, as is a database that is not this
// program's journal.
std::unique_ptr<Journal> OpenJournalForReading(const std::string& where, std::string& failure);

// A PostgreSQL journal whose rows, while the server does not answer, wait in
// the SQLite file `outbox` and are sent in their order once it answers again.
std::unique_ptr<Journal> OpenSharedJournal(const std::string& uri, const std::string& outbox,
                                           std::string& failure);

// The default journal file in the user's data folder, its folder created; ""
// when no such folder is known or this build keeps no journal.
std::string DefaultJournalFile();

// Where the default journal file is, creating nothing: to read it, or to name it.
std::string DefaultJournalFileToRead();

// The outbox beside the default journal file (its folder created); "" when
// no such folder is known.
std::string DefaultOutboxFile();

// The SHA-256 of the file's bytes in lowercase hex; "" when it cannot be read.
std::string FileSha256(const std::string& file);

// UTC now, as the journal's times are written.
std::string UtcNow();

}  // namespace vorlen::fleet
