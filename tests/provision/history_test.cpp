// --history's filters on the hand-counted journal, on SQLite and on the
// throw-away PostgreSQL server: the same SQL must pick the same rows.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "fleet/journal/summary.h"
#include "journal_fixture.h"
#include "provision_rig.h"

namespace vorlen::test {
namespace {

class History : public ProvisionTest, public ::testing::WithParamInterface<Database> {
protected:
    void SetUp() override {
        ProvisionTest::SetUp();
        where_ = Path("journal.sqlite");
        if (GetParam() == Database::Postgres) {
            if (!PostgresServer::Installed()) {
                GTEST_SKIP() << "Debian's postgresql package is not installed (initdb, pg_ctl)";
            }
            server_ = std::make_unique<PostgresServer>();
            ASSERT_TRUE(server_->Started()) << server_->Log();
            where_ = server_->Uri();
        }
        std::string failure;
        {
            const std::unique_ptr<fleet::Journal> writer = fleet::OpenJournal(where_, failure);
            ASSERT_TRUE(writer) << failure;
            Fill(*writer, FixtureRows());
            writer->Settle();
        }
        journal_ = fleet::OpenJournalForReading(where_, failure);
        ASSERT_TRUE(journal_) << failure;
    }

    std::vector<std::int64_t> Found(const fleet::JournalFilter& filter, long long limit = 0) {
        std::vector<std::int64_t> ids;
        EXPECT_TRUE(journal_->Find(filter, limit, [&ids](const fleet::JournalEntry& row) {
            ids.push_back(row.id);
            return true;
        })) << journal_->LastError();
        return ids;
    }

    std::unique_ptr<PostgresServer> server_;
    std::string where_;
    std::unique_ptr<fleet::Journal> journal_;
};

using Ids = std::vector<std::int64_t>;

// A filter missing, or matching on the wrong column, or the order by id
// instead of the start, each picks other rows.
TEST_P(History, EachFilterPicksItsRowsNewestStartFirst) {
    using F = fleet::JournalFilter;
    const struct {
        const char* what;
        F filter;
        Ids ids;
    } cases[] = {
        {"everything", {}, {7, 6, 5, 4, 3, 2, 1}},
        {"station", {.stations = {"A"}}, {7, 5, 2, 1}},
        {"operator", {.operators = {"wang"}}, {5, 4, 3}},
        {"profile", {.profiles = {"other.toml"}}, {4}},
        {"lot", {.lots = {"L2"}}, {5, 4}},
        {"one result", {.results = {"done"}}, {4, 1}},
        {"two results", {.results = {"step-failed", "not-woken"}}, {3, 2}},
        {"unfinished", {.results = {"unfinished"}}, {6}},
        {"done or unfinished", {.results = {"done", "unfinished"}}, {6, 4, 1}},
        {"a tracker twice", {.imei = "860000000000001"}, {6, 1}},
        {"station and operator", {.stations = {"B"}, .operators = {"li"}}, {6}},
        {"a station of none", {.stations = {"C"}}, {}},
        {"since, UTC", {.since = "2026-12-08T00:20:00.000Z"}, {7, 6, 5, 4}},
        {"until, UTC, before", {.until = "2026-12-08T00:20:00.000Z"}, {3, 2, 1}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        EXPECT_EQ(Found(test.filter), test.ids);
    }
    EXPECT_EQ(Found({}, 2), (Ids{7, 6}));
    long long count = 0;
    ASSERT_TRUE(journal_->Count({.stations = {"A"}}, count)) << journal_->LastError();
    EXPECT_EQ(count, 4);
}

// --since and --until in the operator's zone: a day in CST (UTC+8) is not
// the day in EST (UTC-5). Read as UTC, or the whole day of --until cut at
// its start, or a bound on the wrong side of its row, picks other rows.
TEST_P(History, TimesAreReadOnTheOperatorsClock) {
    const FixedZone china(8 * 3600, "CST");
    const FixedZone newYork(-5 * 3600, "EST");
    const struct {
        const char* since;
        const char* until;
        Ids inChina;
        Ids inNewYork;
    } cases[] = {
        {"2026-12-08", "", {7, 6, 5, 4, 3, 2}, {7, 6, 5}},
        {"", "2026-12-08", {6, 5, 4, 3, 2, 1}, {7, 6, 5, 4, 3, 2, 1}},
        {"2026-12-08", "2026-12-08", {6, 5, 4, 3, 2}, {7, 6, 5}},
        {"2026-12-07", "2026-12-07", {1}, {4, 3, 2, 1}},
        {"2026-12-08 08:20", "2026-12-08T17:00", {4}, {7, 6}},
        {"2026-12-08T00:20Z", "", {7, 6, 5, 4}, {7, 6, 5, 4}},
        {"2026-12-08 23:59:00", "2026-12-08 23:59:01", {6}, {}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(std::string(test.since) + " .. " + test.until);
        for (const auto& [zone, ids] : {std::pair{&china, test.inChina},
                                        std::pair{&newYork, test.inNewYork}}) {
            fleet::JournalFilter filter;
            for (const auto& [asked, time, dayEnd] :
                 {std::tuple{test.since, &filter.since, false},
                  std::tuple{test.until, &filter.until, true}}) {
                if (*asked != '\0') {
                    const std::optional<std::string> utc = fleet::AskedTime(asked, *zone, dayEnd);
                    ASSERT_TRUE(utc) << asked;
                    *time = *utc;
                }
            }
            EXPECT_EQ(Found(filter), ids) << zone->Wall(0).zone;
        }
    }
}

// The command line: a page that says how many rows it leaves out, the CSV
// of every row, times in UTC when asked, lines cut to the terminal.
TEST_P(History, TheCommandLineShowsAPageAndExportsEveryRow) {
    const ToolRun page =
        RunTool({"--history", "--journal", where_, "--limit", "2", "--utc"});
    EXPECT_EQ(page.status, fleet::kAllPassed) << page.err;
    EXPECT_NE(page.out.find("2026-12-08 16:01:00 UTC"), std::string::npos) << page.out;
    EXPECT_NE(page.out.find("5 more rows match"), std::string::npos) << page.out;

    const ToolRun csv = RunTool({"--history", "--csv", "--journal", where_});
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 8) << csv.out;

    const ToolRun failed =
        RunTool({"--history", "--journal", where_, "--station", "A", "--result", "step-failed"});
    EXPECT_NE(failed.out.find("step 7 was not acknowledged"), std::string::npos) << failed.out;
    EXPECT_EQ(failed.out.find("860000000000001"), std::string::npos) << failed.out;

    const ToolRun narrow = RunTool({"--history", "--journal", where_}, true);
    std::istringstream lines(narrow.out);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(line.size(), fleet::kUsualColumns) << line;
    }
}

// Every figure of the summary counted by hand from the fixture (see
// journal_fixture.h), the hours on a CST clock. Catches a not-listed or an
// unfinished row counted against the yield, a pause counted as running (or
// a short one left out), a percentile off by a rank, the hours in UTC.
TEST_P(History, TheSummaryHasTheHandCountedFigures) {
    const FixedZone china(8 * 3600, "CST");
    const std::optional<fleet::Summary> summary = fleet::Summarize(*journal_, {}, china);
    ASSERT_TRUE(summary) << journal_->LastError();
    EXPECT_EQ(summary->rows, 7);
    EXPECT_EQ(summary->results,
              (std::vector<fleet::Counted>{{"done", 2}, {"unchanged", 1}, {"not-woken", 1},
                                           {"step-failed", 1}, {"differs", 1}, {"unfinished", 1}}));
    EXPECT_EQ(summary->passed, 3);
    EXPECT_EQ(summary->judged, 6);
    std::vector<std::string> steps;
    for (const fleet::StepFailures& failures : summary->failures) {
        steps.push_back(failures.step + ": " + failures.texts.at(0).first);
    }
    EXPECT_EQ(steps, (std::vector<std::string>{"wake-up: no answer to the wake-up",
                                               "set-all step 7: step 7 was not acknowledged",
                                               "verification: APN differs"}));
    const struct {
        const std::vector<fleet::GroupFigures>& groups;
        std::size_t index;
        const char* name;
        long long trackers, passed, judged;
        double runningSeconds;
    } groups[] = {
        {summary->stations, 0, "A", 4, 2, 4, 27 + 17 + 36 + 14},
        {summary->stations, 1, "B", 3, 1, 2, 120 + 38},
        {summary->operators, 0, "li", 4, 2, 3, 27 + 17 + 134},  // 15:59:00 to 16:01:14 bridged
        {summary->operators, 1, "wang", 3, 1, 3, 120 + 38 + 36},
        {summary->lots, 0, "", 2, 1, 1, 134},
        {summary->lots, 1, "L1", 3, 1, 3, 27 + 17 + 120},
        {summary->lots, 2, "L2", 2, 1, 2, 38 + 36},
    };
    EXPECT_EQ(summary->stations.size(), 2u);
    EXPECT_EQ(summary->lots.size(), 3u);
    for (const auto& group : groups) {
        SCOPED_TRACE(group.name);
        ASSERT_LT(group.index, group.groups.size());
        const fleet::GroupFigures& found = group.groups[group.index];
        EXPECT_EQ(found.name, group.name);
        EXPECT_EQ(found.trackers, group.trackers);
        EXPECT_EQ(found.passed, group.passed);
        EXPECT_EQ(found.judged, group.judged);
        EXPECT_NEAR(found.runningSeconds, group.runningSeconds, 0.01);
    }
    EXPECT_NEAR(fleet::PerHour(summary->operators[0]), 4 * 3600.0 / 178, 0.01);
    const struct {
        long long rows;
        double median, percentile95;
    } phases[] = {{6, 7, 92.5}, {5, 1, 1.8}, {4, 21, 23.7}, {4, 4.5, 5.85}};
    ASSERT_EQ(summary->phases.size(), std::size(phases));
    for (std::size_t i = 0; i < std::size(phases); ++i) {
        SCOPED_TRACE(summary->phases[i].phase);
        EXPECT_EQ(summary->phases[i].rows, phases[i].rows);
        EXPECT_NEAR(summary->phases[i].median, phases[i].median, 0.001);
        EXPECT_NEAR(summary->phases[i].percentile95, phases[i].percentile95, 0.001);
    }
    std::map<int, std::array<long long, 3>> hours;
    for (int hour = 0; hour < 24; ++hour) {
        const fleet::HourFigures& figures = summary->hours[hour];
        if (figures.passed + figures.failed + figures.unfinished > 0) {
            hours[hour] = {figures.passed, figures.failed, figures.unfinished};
        }
    }
    EXPECT_EQ(hours, (std::map<int, std::array<long long, 3>>{
                         {0, {1, 1, 0}}, {7, {0, 1, 0}}, {8, {1, 0, 0}}, {17, {0, 1, 0}},
                         {23, {1, 0, 1}}}));

    const ToolRun text = RunTool({"--summary", "--journal", where_, "--station", "B"});
    EXPECT_EQ(text.status, fleet::kAllPassed) << text.err;
    EXPECT_NE(text.out.find("Yield: 1 of 2 passed, 50.0%"), std::string::npos) << text.out;
}

// The part of `html` from the element that has `id` to the end of its SVG.
std::string Chart(const std::string& html, const std::string& id) {
    const std::size_t start = html.find("id=\"" + id + "\"");
    return start == std::string::npos ? "" : html.substr(start, html.find("</svg>", start) - start);
}

std::size_t Occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// What a program prints to its standard output, and whether it ended well.
std::pair<std::string, bool> OutputOf(const std::string& command) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return {"", false};
    }
    char buffer[4096];
    for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.append(buffer, read);
    }
    return {output, ::pclose(pipe) == 0};
}

// The page as a real browser reads it: Debian's Chromium, headless, parses
// it and draws it; its DOM holds the three charts with a bar for each hour
// that has trackers, each failing step and each station. Catches a chart
// left out or drawn empty, markup the browser does not take, a file another
// user may read, and anything the page would fetch or run.
TEST_P(History, TheHtmlReportRendersInChromium) {
    if (GetParam() != Database::Sqlite) {
        GTEST_SKIP() << "the page does not depend on the database";
    }
    if (!std::filesystem::exists("/usr/bin/chromium")) {
        GTEST_SKIP() << "Debian's chromium package is not installed";
    }
    const std::string page = Path("summary <A&B>.html");
    const ToolRun written = RunTool({"--summary", "--html", page, "--journal", where_, "--utc"});
    ASSERT_EQ(written.status, fleet::kAllPassed) << written.err;
    EXPECT_EQ(std::filesystem::status(page).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    std::ifstream in(page);
    const std::string html{std::istreambuf_iterator<char>(in), {}};
    for (const char* fetchesOrRuns : {"<script", "<link", "src=", "url(", "@import", "http"}) {
        EXPECT_EQ(html.find(fetchesOrRuns), std::string::npos) << fetchesOrRuns;
    }
    const std::string browser = "chromium --headless --no-sandbox --disable-gpu --no-first-run "
                                "--user-data-dir=" + Path("chromium") + " ";
    const std::string quoted = "'" + page + "'";
    const auto [dom, parsed] = OutputOf(browser + "--dump-dom " + quoted + " 2>/dev/null");
    ASSERT_TRUE(parsed) << dom;
    // Hours in UTC with trackers: 00, 09, 15, 16 and 23.
    EXPECT_EQ(Occurrences(Chart(dom, "outcomes-per-hour"), "<g class=\"hour\">"), 5u) << dom;
    EXPECT_EQ(Occurrences(Chart(dom, "failures-by-step"), "class=\"bar\""), 3u) << dom;
    EXPECT_EQ(Occurrences(Chart(dom, "yield-per-station"), "class=\"bar\""), 2u) << dom;
    const std::string picture = Path("summary.png");
    const auto [said, drawn] = OutputOf(browser + "--screenshot=" + picture +
                                        " --window-size=794,1123 " + quoted + " 2>&1");
    EXPECT_TRUE(drawn) << said;
    EXPECT_GT(std::filesystem::exists(picture) ? std::filesystem::file_size(picture) : 0, 10000u)
        << said;
}

INSTANTIATE_TEST_SUITE_P(Journals, History,
                         ::testing::Values(Database::Sqlite, Database::Postgres), DatabaseName);

// A journal of version 1 has no column lot: the filters and the summary read
// it as it is, its rows without a lot, instead of failing on the column.
TEST(HistoryOfVersionOne, FiltersAndTheSummaryReadItAsItIs) {
    const std::filesystem::path file =
        std::filesystem::path(::testing::TempDir()) / "vorlen-history-v1.sqlite";
    std::filesystem::remove(file);
    std::filesystem::copy_file(VORLEN_JOURNAL_V1, file);
    std::string failure;
    const std::unique_ptr<fleet::Journal> journal =
        fleet::OpenJournalForReading(file.string(), failure);
    ASSERT_TRUE(journal) << failure;
    long long all = 0;
    long long inLot = -1;
    ASSERT_TRUE(journal->Count({}, all)) << journal->LastError();
    ASSERT_TRUE(journal->Count({.lots = {"L1"}}, inLot)) << journal->LastError();
    EXPECT_GT(all, 0);
    EXPECT_EQ(inLot, 0);
    const std::optional<fleet::Summary> summary =
        fleet::Summarize(*journal, {}, fleet::UtcZone());
    ASSERT_TRUE(summary) << journal->LastError();
    EXPECT_EQ(summary->rows, all);
    ASSERT_EQ(summary->lots.size(), 1u);
    EXPECT_EQ(summary->lots[0].name, "");
    std::filesystem::remove(file);
}

// A time that is none is refused with what was given, and nothing is read.
TEST(HistoryArguments, ATimeThatIsNoneIsRefused) {
    const FixedZone zone(0, "UTC");
    for (const char* asked : {"2026-13-01", "2026-02-30", "08.12.2026", "2026-12-08 25:00",
                              "2026-12-08 14", "yesterday", "2026-12-08X"}) {
        EXPECT_FALSE(fleet::AskedTime(asked, zone, false)) << asked;
    }
    std::ostringstream out;
    std::ostringstream err;
    const char* argv[] = {"vorlen-provision", "--history", "--since", "2026-13-01"};
    EXPECT_EQ(fleet::Run(4, argv, out, err, false), fleet::kBadInput);
    EXPECT_NE(err.str().find("--since 2026-13-01"), std::string::npos) << err.str();
    const char* misplaced[] = {"vorlen-provision", "--since", "2026-12-01"};
    EXPECT_EQ(fleet::Run(3, misplaced, out, err, false), fleet::kBadInput);
    EXPECT_NE(err.str().find("--since needs --history or --summary"), std::string::npos)
        << err.str();
}

}  // namespace
}  // namespace vorlen::test
