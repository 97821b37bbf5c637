// The station's behaviour against a window that records, and that holds the
// calls posted to its thread until the test lets them run: what a slow
// window thread sees when a run ends, and when the controller goes first.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <thread>

#include "sim/fleet_profile.h"
#include "model/bilingual.h"
#include "profile/profile_file.h"
#include "dialog/look.h"
#include "dialog/station_controller.h"
#include "fleet/journal_time.h"

namespace vorlen::fleet {
namespace {

using namespace std::chrono_literals;

class RecordingStationWindow : public StationWindow {
public:
    void SetText(int id, const std::string& text) override { texts[id] = text; }
    std::string Text(int id) const override {
        const auto found = texts.find(id);
        return found != texts.end() ? found->second : "";
    }
    void Enable(int id, bool enable) override { enabled[id] = enable; }
    void ShowFault(int id, bool fault) override { faults[id] = fault; }
    void ShowSlotChoices(const std::vector<SlotChoice>& shown) override { choices = shown; }
    std::vector<std::string> TickedSlots() const override {
        std::vector<std::string> ticked;
        for (const SlotChoice& choice : choices) {
            if (choice.ticked) {
                ticked.push_back(choice.name);
            }
        }
        return ticked;
    }
    void ShowTiles(const std::vector<Tile>& shown) override { tiles = shown; }
    void ShowTile(std::size_t index, const Tile& tile) override {
        ++tileUpdates;
        tiles.at(index) = tile;
    }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    std::optional<std::filesystem::path> AskFile(const std::string&, StationFile) override {
        return std::nullopt;
    }
    void RunOnWindowThread(std::function<void()> call) override {
        std::lock_guard lock(mutex_);
        posted_.push_back(std::move(call));
    }

    // Runs what the slots posted so far; true when there was any.
    bool RunPosted() {
        std::vector<std::function<void()>> calls;
        {
            std::lock_guard lock(mutex_);
            calls.swap(posted_);
        }
        for (const auto& call : calls) {
            call();
        }
        if (!calls.empty()) {
            lastRun_ = calls.back();
        }
        return !calls.empty();
    }

    // The last call run once more, as a slot's word that arrives late.
    void RunLastAgain() {
        if (lastRun_) {
            lastRun_();
        }
    }

    void Tick(const std::string& name) {
        for (SlotChoice& choice : choices) {
            choice.ticked = choice.ticked || choice.name == name;
        }
    }

    std::map<int, std::string> texts;
    std::map<int, bool> enabled;
    std::map<int, bool> faults;
    std::vector<SlotChoice> choices;
    std::vector<Tile> tiles;
    int tileUpdates = 0;
    std::vector<std::string> messages;

private:
    std::mutex mutex_;
    std::vector<std::function<void()>> posted_;
    std::function<void()> lastRun_;
};

class StationControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::path(::testing::TempDir()) /
                  ("vorlen-station-" + std::to_string(std::random_device{}()));
        ASSERT_TRUE(std::filesystem::create_directories(folder_));
        window.texts[kStationProfile] = (folder_ / "fleet.toml").string();
        const Profile fleet = test::FleetProfile();
        ASSERT_TRUE(SaveProfileFile(window.texts[kStationProfile], fleet.form, fleet.selections));
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    // Ports that are never plugged in: each slot waits for its port.
    StationServices Services() {
        StationServices services;
        services.enumeratePorts = [this](PortList& list) {
            list.clear();
            for (const std::string& port : ports) {
                list.push_back({port, port, "USB Serial", 1, "USB Serial"});
            }
        };
        services.formPort = [] { return std::string(); };
        services.openJournal = [](std::string& failure) {
            failure.clear();
            return std::unique_ptr<Journal>();
        };
        services.system.openPort = [](const std::string&, OpenFailure*) {
            return std::shared_ptr<Port>();
        };
        services.system.portExists = [](const std::string&) { return false; };
        services.system.portLook = 5ms;
        return services;
    }

    std::filesystem::path folder_;
    std::vector<std::string> ports{"/dev/serial/by-path/usb-0:1:1.0-port0",
                                   "/dev/serial/by-path/usb-0:2:1.0-port0"};
    RecordingStationWindow window;
};

// An adapter out of its socket is the station's everyday case: its ticked
// slot stays offered and ticked until the operator unticks it.
TEST_F(StationControllerTest, RefreshKeepsTicksAndATickedSocketWhoseAdapterIsOut) {
    StationController controller(window, Services());
    controller.Show();
    window.Tick(ports[1]);
    ports = {ports[0]};
    controller.Press(kStationRefresh);
    ASSERT_EQ(window.choices.size(), 2u);
    EXPECT_FALSE(window.choices[0].ticked);
    EXPECT_EQ(window.choices[1].name, "/dev/serial/by-path/usb-0:2:1.0-port0");
    EXPECT_TRUE(window.choices[1].ticked);
    EXPECT_EQ(window.choices[1].label, "/dev/serial/by-path/usb-0:2:1.0-port0  USB Serial");
}

// The station hidden and shown again lists the ports of that moment: an
// adapter plugged in meanwhile is offered and the port the form took
// meanwhile is not, without a press of Refresh; the ticks stay. A running
// station's list is left alone.
TEST_F(StationControllerTest, EveryShowingListsThePortsOfThatMomentKeepingTheTicks) {
    std::string formPort;
    StationServices services = Services();
    services.formPort = [&formPort] { return formPort; };
    StationController controller(window, std::move(services));
    controller.Show();
    ASSERT_EQ(window.choices.size(), 2u);
    window.Tick(ports[0]);
    ports.push_back("/dev/serial/by-path/usb-0:3:1.0-port0");
    formPort = ports[1];
    controller.Show();
    ASSERT_EQ(window.choices.size(), 2u);
    EXPECT_EQ(window.choices[0].name, ports[0]);
    EXPECT_TRUE(window.choices[0].ticked);
    EXPECT_EQ(window.choices[1].name, ports[2]);
    EXPECT_FALSE(window.choices[1].ticked);

    controller.Press(kStationStart);
    ASSERT_TRUE(controller.Running());
    ports.pop_back();
    controller.Show();
    EXPECT_EQ(window.choices.size(), 2u);
    EXPECT_FALSE(window.enabled[kStationStart]);
    EXPECT_TRUE(window.enabled[kStationStop]);
}

// The counters line reads the same in the window and on vorlen-provision's
// board, in either language, and follows a switch at once.
TEST_F(StationControllerTest, TheCountersLineIsTheStationsOwnInEitherLanguage) {
    StationController controller(window, Services());
    controller.SetLanguage(vorlen::kChinese);
    EXPECT_EQ(window.texts[kStationCounters], "完成0个, 未改变0个, 失败0个, 每小时0个追踪器");
    EXPECT_EQ(window.texts[kStationTitle], "批量工位");
    controller.SetLanguage(vorlen::kEnglish);
    EXPECT_EQ(window.texts[kStationCounters], "done 0, unchanged 0, failed 0, 0 trackers per hour");
    const StationCounts counts{41, 2, 1, 3600 * 44.0 / 980};
    EXPECT_EQ(CountersLine(counts, vorlen::kChinese), "完成41个, 未改变2个, 失败1个, 每小时980个追踪器");
}

// Runs the posted calls until the station has stopped, or gives up.
bool StopsWhilePosting(StationController& controller, RecordingStationWindow& window) {
    for (int tries = 0; tries < 1000 && controller.Running(); ++tries) {
        window.RunPosted();
        std::this_thread::sleep_for(5ms);
    }
    return !controller.Running();
}

// Close ends a run at once; its slots' last calls come later, and must
// neither show on the next run's tiles nor end that run.
TEST_F(StationControllerTest, ALateCallOfAnEarlierRunLeavesTheNextAlone) {
    StationController controller(window, Services());
    controller.Show();
    window.Tick(ports[0]);
    controller.Press(kStationStart);
    ASSERT_TRUE(controller.Running()) << (window.messages.empty() ? "" : window.messages[0]);
    controller.Close();
    EXPECT_FALSE(controller.Running());
    EXPECT_TRUE(window.enabled[kStationStart]);

    controller.Press(kStationStart);
    ASSERT_TRUE(controller.Running());
    window.RunPosted();  // the first run's last calls, each slot stopped
    EXPECT_TRUE(controller.Running());
    EXPECT_FALSE(window.enabled[kStationStart]);
    ASSERT_EQ(window.tiles.size(), 1u);
    EXPECT_NE(window.tiles[0].mark, TileMark::Failed);

    controller.Press(kStationStop);
    EXPECT_FALSE(window.enabled[kStationStop]);
    ASSERT_TRUE(StopsWhilePosting(controller, window));
    EXPECT_TRUE(window.enabled[kStationStart]);
    EXPECT_TRUE(window.enabled[kStationProfile]);
    // A word of this run after it has ended and let its station go.
    window.RunLastAgain();
    EXPECT_TRUE(window.enabled[kStationStart]);
}

// The window outlives its controller by a moment: calls still queued then
// find nothing to update.
TEST_F(StationControllerTest, CallsQueuedWhenTheControllerGoesAreDropped) {
    {
        StationController controller(window, Services());
        controller.Show();
        window.Tick(ports[0]);
        controller.Press(kStationStart);
        ASSERT_TRUE(controller.Running());
    }
    const int before = window.tileUpdates;
    EXPECT_TRUE(window.RunPosted());
    EXPECT_EQ(window.tileUpdates, before);
}

// Screen pixels, gap 8: the columns that give the largest tiles, whatever
// the window's shape, and every tile inside the area and no taller than wide.
TEST(StationLook, TheTileGridGivesTheLargestTilesThatFit) {
    const struct {
        int count, width, height;
        int columns;
    } cases[] = {
        {1, 600, 400, 1},  {2, 600, 400, 1},  {2, 1200, 300, 2}, {4, 800, 500, 2},
        {8, 1600, 400, 4}, {8, 400, 1600, 1}, {6, 900, 900, 2},  {16, 1200, 800, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.count << " tiles in " << c.width << "x" << c.height);
        const TileGrid grid = TileGridFor(c.count, c.width, c.height, 8);
        EXPECT_EQ(grid.columns, c.columns);
        const int rows = (c.count + grid.columns - 1) / grid.columns;
        EXPECT_LE(grid.columns * grid.width + (grid.columns - 1) * 8, c.width);
        EXPECT_LE(rows * grid.height + (rows - 1) * 8, c.height);
        EXPECT_LE(grid.height, grid.width);
        EXPECT_GT(grid.height, 0);
    }
    EXPECT_EQ(TileGridFor(0, 600, 400, 8).width, 0);
}

// From a step away the slot's name and the outcome are read first: they
// are the largest lines and bold, the others neither; and a tile's outcome
// is in the very colours of the form's status box.
TEST(StationLook, TheSlotAndTheOutcomeStandOutInTheStatusBoxsColours) {
    for (const TileLineLook& row : kTileLines) {
        const bool first = row.line == TileLine::Port || row.line == TileLine::Outcome;
        for (const TileLineLook& other : kTileLines) {
            if (first && other.line != TileLine::Port && other.line != TileLine::Outcome) {
                EXPECT_GT(row.look.percent, other.look.percent);
            }
        }
        EXPECT_EQ(row.look.bold, first);
    }
    EXPECT_EQ(kTileLines.front().line, TileLine::Port);
    EXPECT_EQ(TileColour(TileMark::Passed), StatusColour(StatusMark::Success));
    EXPECT_EQ(TileColour(TileMark::Failed), StatusColour(StatusMark::Failure));
    EXPECT_EQ(TileColour(TileMark::Idle), std::nullopt);
    EXPECT_EQ(StatusColour(StatusMark::None), std::nullopt);
    const std::optional<Rgb> working = TileColour(TileMark::Working);
    ASSERT_TRUE(working);
    EXPECT_NE(working, TileColour(TileMark::Passed));
    const Tile tile{"COM3", "set-all, step 7 of 19", "IMEI 864507030000003", "done"};
    EXPECT_EQ(LineOf(tile, TileLine::Outcome), "done");
    EXPECT_EQ(LineOf(tile, TileLine::Port), "COM3");
}

// A journal whose state the test sets; it keeps no row.
class JournalInState : public Journal {
public:
    explicit JournalInState(JournalHealth health) : health_(std::move(health)) {}
    std::int64_t Begin(const JournalEntry&) override { return 0; }
    bool Finish(const JournalEntry&) override { return false; }
    bool Newest(int, const std::string&, std::vector<JournalEntry>&) override { return false; }
    bool Find(const JournalFilter&, long long, const JournalRowSink&) override { return false; }
    bool Count(const JournalFilter&, long long&) override { return false; }
    std::string LastError() const override { return health_.fault; }
    JournalHealth Health() const override { return health_; }

private:
    JournalHealth health_;
};

// The journal's line tells at once, in red, that rows wait for the server
// or that the journal takes none; all well, it is the plain line.
TEST_F(StationControllerTest, TheJournalLineTellsOfAJournalThatTakesNoRowsInRed) {
    const struct {
        JournalHealth health;
        const char* said;
        bool red;
    } cases[] = {
        {{false, 0, "disk full"}, "\njournal: takes no rows, so no new tracker is taken: disk full",
         true},
        {{true, 2, "the server does not answer"},
         "\njournal: 2 rows wait for the server: the server does not answer", true},
        {{true, 0, ""}, "", false},  // the plain line, whatever it names
    };
    for (const auto& state : cases) {
        SCOPED_TRACE(state.said);
        StationServices services = Services();
        services.openJournal = [&state](std::string&) -> std::unique_ptr<Journal> {
            return std::make_unique<JournalInState>(state.health);
        };
        StationController controller(window, std::move(services));
        controller.SetLanguage(vorlen::kEnglish);
        controller.Show();
        window.Tick(ports[0]);
        controller.Press(kStationStart);
        ASSERT_TRUE(controller.Running()) << (window.messages.empty() ? "" : window.messages[0]);
        for (int tries = 0; tries < 200 && window.texts[kStationJournal].find(state.said) ==
                                               std::string::npos;
             ++tries) {
            window.RunPosted();
            std::this_thread::sleep_for(5ms);
        }
        EXPECT_NE(window.texts[kStationJournal].find(state.said), std::string::npos)
            << window.texts[kStationJournal];
        EXPECT_EQ(window.faults[kStationJournal], state.red);
        EXPECT_EQ(window.texts[kStationJournal].find("\njournal: ") != std::string::npos,
                  state.red);
        controller.Close();
    }
}

}  // namespace
}  // namespace vorlen::fleet

namespace vorlen::fleet {
namespace {

// A journal that hands out its rows and keeps the filter it was asked with.
class RowsToRead : public Journal {
public:
    explicit RowsToRead(std::vector<JournalEntry> rows, JournalFilter* asked)
        : rows_(std::move(rows)), asked_(asked) {}
    std::int64_t Begin(const JournalEntry&) override { return 0; }
    bool Finish(const JournalEntry&) override { return false; }
    bool Newest(int, const std::string&, std::vector<JournalEntry>&) override { return false; }
    bool Find(const JournalFilter& filter, long long, const JournalRowSink& row) override {
        *asked_ = filter;
        return std::all_of(rows_.begin(), rows_.end(), row);
    }
    bool Count(const JournalFilter&, long long&) override { return false; }
    std::string LastError() const override { return {}; }
    JournalHealth Health() const override { return {}; }

private:
    std::vector<JournalEntry> rows_;
    JournalFilter* asked_;
};

// Report... reads today's rows (midnight to midnight on the operator's
// clock), writes them as the page in the report folder, its owner's only,
// and opens it; what went wrong is said, and a page unwritten is not opened.
// Catches yesterday's or UTC's day, a page opened that was never written,
// and a browser that did not start passing for one that did.
TEST_F(StationControllerTest, ReportWritesTodaysPageAndOpensIt) {
    JournalEntry row;
    row.started = "2026-12-08T09:00:00.000Z";
    row.finished = "2026-12-08T09:00:40.000Z";
    row.station = "line <7>";
    row.result = "done";
    const struct {
        bool journalOpens;
        bool browserStarts;
        const char* said;
    } cases[] = {
        {true, true, ""},
        {true, false, "but no browser could be started"},
        {false, true, "Cannot write today's report"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.said);
        JournalFilter asked;
        std::vector<std::filesystem::path> opened;
        StationServices services = Services();
        services.now = [] { return std::time_t{1796720400}; };  // 2026-12-08 09:00 UTC
        services.zone = &UtcZone();
        services.reportFolder = folder_ / "reports";
        services.openJournalToRead = [&](std::string& failure) -> std::unique_ptr<Journal> {
            failure = "no journal here";
            return test.journalOpens ? std::make_unique<RowsToRead>(std::vector{row}, &asked)
                                     : nullptr;
        };
        services.openInBrowser = [&](const std::filesystem::path& file) {
            opened.push_back(file);
            return test.browserStarts;
        };
        window.messages.clear();
        StationController controller(window, services);
        controller.Press(kStationReport);
        const std::filesystem::path page = folder_ / "reports" / "summary-2026-12-08.html";
        if (!test.journalOpens) {
            EXPECT_TRUE(opened.empty());
            ASSERT_EQ(window.messages.size(), 1u);
            EXPECT_NE(window.messages[0].find("no journal here"), std::string::npos);
            continue;
        }
        EXPECT_EQ(asked.since, "2026-12-08T00:00:00.000Z");
        EXPECT_EQ(asked.until, "2026-12-09T00:00:00.000Z");
        EXPECT_EQ(opened, std::vector{page});
        EXPECT_EQ(std::filesystem::status(page).permissions() & std::filesystem::perms::all,
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        std::ifstream in(page);
        const std::string html{std::istreambuf_iterator<char>(in), {}};
        EXPECT_NE(html.find("line &lt;7&gt;"), std::string::npos) << html;
        EXPECT_EQ(window.messages.empty(), *test.said == '\0');
        if (!window.messages.empty()) {
            EXPECT_NE(window.messages[0].find(test.said), std::string::npos) << window.messages[0];
        }
    }
}

}  // namespace
}  // namespace vorlen::fleet
