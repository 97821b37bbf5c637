// vorlen-provision's command line.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "fleet/slot_name.h"

namespace vorlen::fleet {

inline constexpr double kDefaultWakeTimeout = 120;

struct Options {
    std::string profile;
    std::vector<std::string> ports;  // after NameSlots, the ports alone
    std::vector<SlotName> slots;     // after NameSlots, each port with its slot's name
    double wakeTimeout = kDefaultWakeTimeout;  // seconds
    std::string report;
    bool listPorts = false;
    std::string readPort;
    std::string out;
    std::string language = "en";
    bool trace = false;
    bool check = false;
    bool force = false;
    std::string devices;
    std::string journal;  // a file or a postgresql:// URI; empty: the default file
    bool noJournal = false;
    std::string station;  // empty: the host name
    std::string operatorName;
    std::string lot;  // the batch, on every row
    std::optional<std::string> history;  // set by --history, with the IMEI or ""
    bool csv = false;
    bool summary = false;        // --summary: the counts of the rows --history would show
    std::string html;            // --summary --html FILE
    std::string since;           // as given; read in the zone's time unless it ends in Z
    std::string until;
    std::vector<std::string> results;
    long long limit = 0;         // 0: the table's 50, or every row for --csv
    bool utc = false;            // times in UTC instead of the zone's
    bool watch = false;  // a station: the ports are slots, trackers come and go
    int count = 0;       // with --watch, stop after this many trackers; 0 for no end
    bool bell = false;   // with --watch, ring the terminal's bell on a failure

    int LanguageIndex() const;
    // --history or --summary: the journal is read, nothing is run.
    bool ReadsJournal() const { return history.has_value() || summary; }
    std::chrono::milliseconds WakeTimeout() const;
};

// Declares every option with its help text in the language (0 Chinese,
// anything else English) and the rules between them.
void DescribeOptions(CLI::App& app, Options& options, int language);

// Splits each --port NAME=PORT into the slot's name and its port (see
// NamedSlots); a refusal in words when a name or a port is missing or a
// name is given twice, with nothing changed.
std::optional<std::string> NameSlots(Options& options);

// The language the arguments ask for, found before they are parsed, so that
// even a refusal of the arguments speaks it.
int LanguageAskedFor(int argc, const char* const* argv);

}  // namespace vorlen::fleet
