#include "provision/actions.h"
#include "fleet/journal/history.h"
#include "fleet/hidden_password.h"
#include "fleet/journal_line.h"
#include "fleet/printable.h"
#include "provision/run.h"
#include "fleet/tool_texts.h"

namespace vorlen::fleet {

std::string JournalShown(const Options& options) {
    return Printable(
        WithoutPasswords(options.journal.empty() ? DefaultJournalFileToRead() : options.journal));
}

// The database's own message may quote the connection text it was given.
std::string JournalFailureShown(const std::string& failure) {
    return Printable(WithoutPasswords(failure));
}

std::optional<std::unique_ptr<Journal>> ChosenJournal(const Options& options,
                                                      const Streams& streams) {
    if (options.noJournal) {
        return std::unique_ptr<Journal>();
    }
    const std::string where = options.journal.empty() ? DefaultJournalFile() : options.journal;
    std::string failure;
    std::unique_ptr<Journal> journal =
        where.empty() ? nullptr : OpenJournal(where, failure);
    if (!journal) {
        // A build without a journal runs without one unless one is asked for.
        if (where.empty() && options.journal.empty()) {
            return std::unique_ptr<Journal>();
        }
        streams.err << Say(text::kJournalFailed, options.LanguageIndex(),
                           {.port = JournalShown(options), .detail = JournalFailureShown(failure)})
                    << std::endl;
        return std::nullopt;
    }
    return journal;
}

// Read only: nothing is created or changed, so a read-only file or role will
// do, and a mistyped name is an error rather than an empty history.
int PrintHistory(const Options& options, const Streams& streams) {
    const int language = options.LanguageIndex();
    const std::string where = options.journal.empty() ? DefaultJournalFileToRead() : options.journal;
    std::string failure = Say(text::kNoJournalHere, language);
    std::unique_ptr<Journal> journal =
        options.noJournal || where.empty() ? nullptr : OpenJournalForReading(where, failure);
    if (!journal) {
        streams.err << Say(text::kJournalFailed, language,
                           {.port = JournalShown(options), .detail = Printable(failure)})
                    << std::endl;
        return kBadInput;
    }
    std::vector<JournalEntry> rows;
    if (!journal->Newest(kHistoryRows, *options.history, rows)) {
        streams.err << Say(text::kJournalFailed, language,
                           {.port = JournalShown(options),
                            .detail = JournalFailureShown(journal->LastError())})
                    << std::endl;
        return kSomeFailed;
    }
    if (options.csv) {
        PrintHistoryCsv(rows, streams.out);
    } else if (rows.empty()) {
        streams.out << Say(text::kNoHistory, language) << std::endl;
    } else {
        PrintHistoryTable(rows, streams.out);
    }
    return kAllPassed;
}

void TellWaitingRows(Journal* journal, const Options& options, const Streams& streams) {
    if (journal == nullptr) {
        return;
    }
    if (const std::string line = JournalLine(journal->Settle(), options.LanguageIndex());
        !line.empty()) {
        streams.err << JournalShown(options) << ": " << line << std::endl;
    }
}

}  // namespace vorlen::fleet
