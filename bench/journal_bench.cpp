// What --history and --summary cost on a journal of a million rows: the
// journal is filled through its own interface (Begin, then Finish, as the
// stations write it) in an SQLite file and in the throw-away PostgreSQL
// server, then vorlen-provision is run in this process as a supervisor runs
// it: one tracker's history, a filtered page, the summary of a day and of
// everything, and the CSV of every row into /dev/null. Prints the machine's
// load before and after, and one table row per measure.
//
//   build/bench/vorlen_journal_bench [ROWS] [SQLITE_FILE] [sqlite|postgres]
//
// A file that already holds the rows is used as it is, so that a second run
// measures without filling again.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "fleet/journal/journal.h"
#include "fleet/journal_time.h"
#include "provision/run.h"
#include "sim/postgres_server.h"

namespace {

using namespace vorlen;
using Clock = std::chrono::steady_clock;

constexpr long long kDefaultRows = 1'000'000;
constexpr int kStations = 8;
constexpr int kOperators = 12;
constexpr int kLots = 40;
constexpr std::time_t kFirstStart = 1793577600;  // 2026-11-02 00:00 UTC
constexpr const char* kResults[] = {"done", "unchanged", "not-woken", "step-failed",
                                    "read-back-failed", "differs"};

std::string Imei(long long n) {
    char text[32];
    std::snprintf(text, sizeof text, "86%013lld", n);
    return text;
}

// Row n: stations take turns, each starting a tracker every 40 s or so of
// the working day; one in fifteen fails, at a step or elsewhere.
fleet::JournalEntry RowOf(long long n) {
    fleet::JournalEntry row;
    const std::time_t start = kFirstStart + n * 5 + (n % 7);
    row.started = fleet::JournalText(start);
    row.station = "line-" + std::to_string(n % kStations + 1);
    row.operatorName = "operator-" + std::to_string(n / 3000 % kOperators + 1);
    row.lot = "lot-" + std::to_string(n / 25000 % kLots + 1);
    row.port = "/dev/ttyUSB" + std::to_string(n % 4);
    row.imei = Imei(n);
    row.softwareVersion = "V2.1.7";
    row.mode = "provision";
    row.profile = n % 3 == 0 ? "fleet-b.toml" : "fleet-a.toml";
    row.profileSha256 = std::string(64, 'a');
    const int outcome = n % 15 != 0 ? static_cast<int>(n % 11 == 0) : 2 + static_cast<int>(n / 15 % 4);
    row.result = kResults[outcome];
    row.failedStep = outcome == 3 ? static_cast<int>(n % 19 + 1) : 0;
    row.failure = outcome >= 2 ? std::string("the tracker did not answer step ") +
                                     std::to_string(row.failedStep)
                               : "";
    row.wakeSeconds = 2 + static_cast<double>(n % 40) / 10;
    row.identifySeconds = 0.4;
    row.setAllSeconds = outcome == 1 ? 0 : 14 + static_cast<double>(n % 9) / 3;
    row.verifySeconds = 3.2;
    row.totalSeconds = row.wakeSeconds + row.identifySeconds + row.setAllSeconds + 3.2;
    row.finished = fleet::JournalText(start + static_cast<std::time_t>(row.totalSeconds));
    return row;
}

bool Fill(const std::string& where, long long rows) {
    std::string failure;
    const std::unique_ptr<fleet::Journal> journal = fleet::OpenJournal(where, failure);
    if (!journal) {
        std::fprintf(stderr, "%s: %s\n", where.c_str(), failure.c_str());
        return false;
    }
    long long there = 0;
    if (!journal->Count({}, there)) {
        std::fprintf(stderr, "%s\n", journal->LastError().c_str());
        return false;
    }
    const auto start = Clock::now();
    for (long long n = there; n < rows; ++n) {
        fleet::JournalEntry row = RowOf(n);
        row.id = journal->Begin(row);
        if (row.id == 0 || !journal->Finish(row)) {
            std::fprintf(stderr, "row %lld: %s\n", n, journal->LastError().c_str());
            return false;
        }
    }
    if (rows > there) {
        std::fflush(stdout);
        std::printf("  filled %lld rows in %.0f s\n", rows - there,
                    std::chrono::duration<double>(Clock::now() - start).count());
    }
    return true;
}

// The program as a supervisor runs it; its output into `out`.
double Seconds(const std::vector<std::string>& arguments, std::ostream& out) {
    std::vector<const char*> argv{"vorlen-provision"};
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    std::ostringstream err;
    const auto start = Clock::now();
    const int status =
        fleet::Run(static_cast<int>(argv.size()), argv.data(), out, err, false);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (status != fleet::kAllPassed) {
        std::fprintf(stderr, "%s\n", err.str().c_str());
    }
    return seconds;
}

// The median of three runs.
double Median(const std::function<double()>& run) {
    std::vector<double> runs{run(), run(), run()};
    std::sort(runs.begin(), runs.end());
    return runs[1];
}

void Measure(const char* name, const std::string& where, long long rows) {
    const std::string day = fleet::JournalText(kFirstStart + rows * 5 / 2).substr(0, 10);
    const auto text = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.end(), {"--journal", where, "--utc"});
        return Median([&] {
            std::ostringstream out;
            return Seconds(arguments, out);
        });
    };
    const double imei = text({"--history", Imei(rows / 2)});
    const double page = text({"--history", "--station", "line-3", "--result", "step-failed"});
    const double daySummary = text({"--summary", "--since", day, "--until", day});
    const double whole = text({"--summary"});
    std::ofstream null("/dev/null");
    const double csv = Seconds({"--history", "--csv", "--journal", where}, null);
    std::printf("| %-10s | %9lld | %7.1f ms | %7.1f ms | %7.2f s | %7.2f s | %9.0f |\n", name,
                rows, imei * 1000, page * 1000, daySummary, whole, rows / csv);
}

void Load(const char* when) {
    std::ifstream in("/proc/loadavg");
    std::string load;
    std::getline(in, load);
    std::printf("load average %s: %s\n", when, load.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const long long rows = argc > 1 ? std::atoll(argv[1]) : kDefaultRows;
    const std::string file =
        argc > 2 ? argv[2] : (std::filesystem::temp_directory_path() / "vorlen-bench-journal.sqlite").string();
    const std::string only = argc > 3 ? argv[3] : "";
    Load("before");
    std::printf("| journal    |      rows | --history IMEI | filtered page | summary, a day | "
                "summary, all | CSV rows/s |\n");
    if (only != "postgres" && Fill(file, rows)) {
        Measure("SQLite", file, rows);
    }
    if (only == "sqlite") {
        Load("after");
        return 0;
    }
    const test::PostgresServer server;
    if (!server.Started()) {
        std::printf("  PostgreSQL: no throw-away server (%s)\n", server.Log().c_str());
    } else if (Fill(server.Uri(), rows)) {
        Measure("PostgreSQL", server.Uri(), rows);
    }
    Load("after");
}
