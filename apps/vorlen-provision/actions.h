// What the program can be asked to do; each returns the exit status.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <ostream>

#include "fleet/journal/journal.h"
#include "fleet/local_zone.h"

#include "provision/provision_options.h"
#include "provision/run.h"

namespace vorlen::fleet {

struct Streams {
    std::ostream& out;
    std::ostream& err;
    bool terminal;
    TerminalWidth columns;
    const Zone* zone = &MachineZone();  // the operator's clock
};

// --profile with --port: every port configured and verified.
int ProvisionFleet(const Options& options, const Streams& streams);

// --profile with --port and --watch: a station until Ctrl-C or --count.
int WatchStation(const Options& options, const Streams& streams);

// --read with --out: one tracker's configuration saved as a profile.
int ReadToProfile(const Options& options, const Streams& streams);

// --history [IMEI] with its filters, as a table or --csv.
int PrintHistory(const Options& options, const Streams& streams);

// --summary with the filters of --history, as text or --html FILE.
int PrintSummary(const Options& options, const Streams& streams);

// The journal --history and --summary read, opened to read only; null, the
// reason said, when it cannot be.
std::unique_ptr<Journal> JournalToRead(const Options& options, const Streams& streams);

// An option only --history or --summary takes, given without them, or
// --profile without --port: why the arguments are refused, else "".
std::string MisplacedReadingOption(const Options& options);

// The journal --journal or --no-journal asks for, or the default one; null
// for none. Nothing, the reason printed, when the journal asked for cannot be
// opened.
std::optional<std::unique_ptr<Journal>> ChosenJournal(const Options& options,
                                                      const Streams& streams);

// What the journal still has to say as the program ends: rows that wait in
// the outbox for the server, or that it takes none.
void TellWaitingRows(Journal* journal, const Options& options, const Streams& streams);

// The journal's file or URI as a message names it: without a password.
std::string JournalShown(const Options& options);
// A journal's failure as a message shows it: escaped, without a password.
std::string JournalFailureShown(const std::string& failure);

// --list-ports.
int ListPorts(const Options& options, const Streams& streams);

// One line to the error stream: the arguments are refused.
int RefuseArguments(const std::string& why, int language, const Streams& streams);

// A file to be written must have an existing folder.
bool FolderExists(const std::string& file);

}  // namespace vorlen::fleet
