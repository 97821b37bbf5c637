// The station's behaviour against a window that records, and that holds the
// calls posted to its thread until the test lets them run: what a slow
// window thread sees when a run ends, and when the controller goes first.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <thread>

#include "sim/fleet_profile.h"
#include "model/bilingual.h"
#include "profile/profile_file.h"
#include "dialog/station_controller.h"

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
        return !calls.empty();
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
};

class StationControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vorlen-station-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder_ = pattern;
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
    controller.Open(vorlen::kEnglish);
    window.Tick(ports[1]);
    ports = {ports[0]};
    controller.Press(kStationRefresh);
    ASSERT_EQ(window.choices.size(), 2u);
    EXPECT_FALSE(window.choices[0].ticked);
    EXPECT_EQ(window.choices[1].name, "/dev/serial/by-path/usb-0:2:1.0-port0");
    EXPECT_TRUE(window.choices[1].ticked);
    EXPECT_EQ(window.choices[1].label, "/dev/serial/by-path/usb-0:2:1.0-port0  USB Serial");
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
    controller.Open(vorlen::kEnglish);
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
}

// The window outlives its controller by a moment: calls still queued then
// find nothing to update.
TEST_F(StationControllerTest, CallsQueuedWhenTheControllerGoesAreDropped) {
    {
        StationController controller(window, Services());
        controller.Open(vorlen::kEnglish);
        window.Tick(ports[0]);
        controller.Press(kStationStart);
        ASSERT_TRUE(controller.Running());
    }
    const int before = window.tileUpdates;
    EXPECT_TRUE(window.RunPosted());
    EXPECT_EQ(window.tileUpdates, before);
}

// A journal whose state the test sets; it keeps no row.
class JournalInState : public Journal {
public:
    explicit JournalInState(JournalHealth health) : health_(std::move(health)) {}
    std::int64_t Begin(const JournalEntry&) override { return 0; }
    bool Finish(const JournalEntry&) override { return false; }
    bool Newest(int, const std::string&, std::vector<JournalEntry>&) override { return false; }
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
        {{true, 0, ""}, "Outcomes are recorded in the journal ", false},
    };
    for (const auto& state : cases) {
        SCOPED_TRACE(state.said);
        StationServices services = Services();
        services.openJournal = [&state](std::string&) -> std::unique_ptr<Journal> {
            return std::make_unique<JournalInState>(state.health);
        };
        StationController controller(window, std::move(services));
        controller.Open(vorlen::kEnglish);
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
        controller.Close();
    }
}

}  // namespace
}  // namespace vorlen::fleet
