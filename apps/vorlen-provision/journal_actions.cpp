#include "provision/actions.h"
#include "profile/profile_file.h"
#include "fleet/journal/history.h"
#include "fleet/journal/summary.h"
#include "fleet/hidden_password.h"
#include "fleet/journal_line.h"
#include "fleet/journal_time.h"
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

std::string MisplacedReadingOption(const Options& options) {
    if (options.ReadsJournal()) {
        return {};
    }
    const int language = options.LanguageIndex();
    const struct {
        bool given;
        const char* name;
    } readingOnly[] = {{!options.since.empty(), "--since"},
                       {!options.until.empty(), "--until"},
                       {!options.results.empty(), "--result"},
                       {options.utc, "--utc"}};
    for (const auto& option : readingOnly) {
        if (option.given) {
            return Say(text::kNeedsReading, language, {.key = option.name});
        }
    }
    return !options.profile.empty() && options.ports.empty()
               ? Say(text::kProfileNeedsPort, language)
               : std::string();
}

namespace {

// The rows --history and --summary read; nothing, with the reason said,
// when a time is none the clocks show.
std::optional<JournalFilter> FilterOf(const Options& options, const Streams& streams) {
    JournalFilter filter;
    filter.imei = options.history.value_or("");
    const Zone& zone = options.utc ? UtcZone() : *streams.zone;
    const struct {
        const std::string& asked;
        const char* name;
        bool dayEnd;
        std::string JournalFilter::*time;
    } times[] = {{options.since, "--since", false, &JournalFilter::since},
                 {options.until, "--until", true, &JournalFilter::until}};
    for (const auto& time : times) {
        if (time.asked.empty()) {
            continue;
        }
        const std::optional<std::string> utc = AskedTime(time.asked, zone, time.dayEnd);
        if (!utc) {
            RefuseArguments(Say(text::kBadTime, options.LanguageIndex(),
                                {.detail = Printable(time.asked), .key = time.name}),
                            options.LanguageIndex(), streams);
            return std::nullopt;
        }
        filter.*time.time = *utc;
    }
    const auto one = [](const std::string& value) {
        return value.empty() ? std::vector<std::string>{} : std::vector<std::string>{value};
    };
    filter.stations = one(options.station);
    filter.operators = one(options.operatorName);
    filter.lots = one(options.lot);
    filter.profiles = one(options.profile);
    filter.results = options.results;
    return filter;
}

int JournalUnread(const Options& options, const Streams& streams, const std::string& failure) {
    streams.err << Say(text::kJournalFailed, options.LanguageIndex(),
                       {.port = JournalShown(options), .detail = JournalFailureShown(failure)})
                << std::endl;
    return kSomeFailed;
}

// Every matching row unless --limit: a batch of any size is exported whole,
// row by row as it is read.
int PrintCsv(Journal& journal, const JournalFilter& filter, const Options& options,
             const Streams& streams) {
    PrintCsvHeader(streams.out);
    if (!journal.Find(filter, options.limit, [&streams](const JournalEntry& row) {
            PrintCsvRow(row, streams.out);
            return static_cast<bool>(streams.out);
        })) {
        return JournalUnread(options, streams, journal.LastError());
    }
    streams.out.flush();
    return kAllPassed;
}

int PrintTable(Journal& journal, const JournalFilter& filter, const Options& options,
               const Streams& streams) {
    const int language = options.LanguageIndex();
    const long long limit = options.limit > 0 ? options.limit : kHistoryRows;
    std::vector<JournalEntry> rows;
    long long matching = 0;
    if (!journal.Find(filter, limit, [&rows](const JournalEntry& row) {
            rows.push_back(row);
            return true;
        }) ||
        (static_cast<long long>(rows.size()) == limit && !journal.Count(filter, matching))) {
        return JournalUnread(options, streams, journal.LastError());
    }
    if (rows.empty()) {
        const bool filtered = filter.since.size() + filter.until.size() + filter.imei.size() +
                                  filter.stations.size() + filter.operators.size() +
                                  filter.lots.size() + filter.profiles.size() +
                                  filter.results.size() > 0;
        streams.out << Say(filtered ? text::kNoMatchingRow : text::kNoHistory, language)
                    << std::endl;
        return kAllPassed;
    }
    const Zone& zone = options.utc ? UtcZone() : *streams.zone;
    PrintHistoryTable(rows, zone, streams.terminal ? streams.columns() : 0, streams.out);
    if (matching > limit) {
        streams.out << Say(text::kMoreRows, language,
                           {.count = static_cast<int>(matching - limit)})
                    << std::endl;
    }
    return kAllPassed;
}

}  // namespace

// Read only: nothing is created or changed, so a read-only file or role will
// do, and a mistyped name is an error rather than an empty history.
std::unique_ptr<Journal> JournalToRead(const Options& options, const Streams& streams) {
    const int language = options.LanguageIndex();
    const std::string where = options.journal.empty() ? DefaultJournalFileToRead() : options.journal;
    std::string failure = Say(text::kNoJournalHere, language);
    std::unique_ptr<Journal> journal =
        options.noJournal || where.empty() ? nullptr : OpenJournalForReading(where, failure);
    if (!journal) {
        streams.err << Say(text::kJournalFailed, language,
                           {.port = JournalShown(options), .detail = Printable(failure)})
                    << std::endl;
    }
    return journal;
}

int PrintHistory(const Options& options, const Streams& streams) {
    const std::optional<JournalFilter> filter = FilterOf(options, streams);
    if (!filter) {
        return kBadInput;
    }
    const std::unique_ptr<Journal> journal = JournalToRead(options, streams);
    if (!journal) {
        return kBadInput;
    }
    return options.csv ? PrintCsv(*journal, *filter, options, streams)
                       : PrintTable(*journal, *filter, options, streams);
}

namespace {

// The title names what was asked for, so that a printed page says which
// rows it counts.
std::string SummaryTitle(const Options& options) {
    std::string title = "Trackers' summary";
    const struct {
        const char* name;
        const std::string& value;
    } asked[] = {{"station", options.station}, {"operator", options.operatorName},
                 {"lot", options.lot},         {"profile", options.profile},
                 {"since", options.since},     {"until", options.until}};
    for (const auto& [name, value] : asked) {
        if (!value.empty()) {
            title += std::string(title.back() == 'y' ? ": " : ", ") + name + " " + value;
        }
    }
    return title;
}

}  // namespace

int PrintSummary(const Options& options, const Streams& streams) {
    const std::optional<JournalFilter> filter = FilterOf(options, streams);
    if (!filter) {
        return kBadInput;
    }
    if (!options.html.empty() && !FolderExists(options.html)) {
        streams.err << Say(text::kReportFailed, options.LanguageIndex(),
                           {.detail = Printable(options.html)})
                    << std::endl;
        return kBadInput;
    }
    const std::unique_ptr<Journal> journal = JournalToRead(options, streams);
    if (!journal) {
        return kBadInput;
    }
    const Zone& zone = options.utc ? UtcZone() : *streams.zone;
    std::string failure;
    if (!options.html.empty()) {
        if (!SaveSummaryHtml(*journal, *filter, zone, SummaryTitle(options), FilePath(options.html),
                             failure)) {
            streams.err << Say(text::kReportFailed, options.LanguageIndex(),
                               {.detail = Printable(options.html) + ": " +
                                          JournalFailureShown(failure)})
                        << std::endl;
            return kSomeFailed;
        }
        return kAllPassed;
    }
    const std::optional<Summary> summary = Summarize(*journal, *filter, zone);
    if (!summary) {
        return JournalUnread(options, streams, journal->LastError());
    }
    if (summary->rows == 0) {
        streams.out << Say(text::kNoMatchingRow, options.LanguageIndex()) << std::endl;
        return kAllPassed;
    }
    fleet::PrintSummary(*summary, zone, streams.out);
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
