// The fleet station's real window, offscreen, driven through its buttons and
// list against simulated trackers on pseudo-terminals; the journal is an
// SQLite file in the test's own folder.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "fleet/journal/journal_module.h"
#include "sim/fleet_profile.h"
#include "profile/profile_file.h"
#include "qt/desktop_sound.h"
#include "qt/settings_store.h"
#include "qt/station_window.h"
#include "rig.h"

namespace vorlen::testing {
namespace {

using fleet::FleetStationWindow;

// Ports the window lists by their simulators' links, the form's port, and
// the message boxes, recorded instead of shown.
class StationWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        // The journal's default file lands in the test's folder, not the user's.
        ::setenv("XDG_DATA_HOME", folder_.path().toLocal8Bit().constData(), 1);
        profile_ = Path("fleet.toml");
        const Profile fleet = test::FleetProfile();
        ASSERT_TRUE(SaveProfileFile(profile_, fleet.form, fleet.selections));
    }

    std::string Path(const char* name) const { return folder_.filePath(name).toStdString(); }

    // The window listing `ports` (name, friendly name).
    std::unique_ptr<FleetStationWindow> Open(std::vector<std::string> ports) {
        fleet::StationServices services =
            fleet::RealStationServices([this] { return formPort_; });
        services.enumeratePorts = [ports](PortList& list) {
            list.clear();
            for (const std::string& port : ports) {
                list.push_back({port, port, "Virtual serial port", 0, "Virtual serial port"});
            }
        };
        if (!journalModule_.empty()) {
            services.openJournal = [module = journalModule_](const std::string&,
                                                             std::string& failure) {
                return fleet::OpenJournalFrom(module, fleet::DefaultJournalFile(),
                                               fleet::JournalAccess::Write, failure);
            };
        }
        fleet::StationPrompts prompts{
            [this](QWidget*, const QString& text) { messages_.push_back(text.toStdString()); },
            [this](QWidget*, const QString&, fleet::StationFile) { return chosenFile_; },
            [this](fleet::StationSound sound) {
                sounds_.push_back(sound);
                return soundFailure_;
            },
        };
        auto window =
            std::make_unique<FleetStationWindow>(std::move(services), kEnglish, nullptr, prompts);
        window->ShowAndRaise();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window;
    }

    static QListWidget* Slots(const FleetStationWindow& window) {
        return qobject_cast<QListWidget*>(window.Control(fleet::kStationSlots));
    }

    static std::vector<std::string> Offered(const FleetStationWindow& window) {
        std::vector<std::string> names;
        for (int i = 0; i < Slots(window)->count(); ++i) {
            names.push_back(Slots(window)->item(i)->data(Qt::UserRole).toString().toStdString());
        }
        return names;
    }

    // Ticks the port as the operator's click on its box would.
    static void Tick(FleetStationWindow& window, const std::string& port) {
        const std::vector<std::string> offered = Offered(window);
        const auto found = std::find(offered.begin(), offered.end(), port);
        ASSERT_NE(found, offered.end()) << port;
        Slots(window)->item(static_cast<int>(found - offered.begin()))->setCheckState(Qt::Checked);
    }

    static void Type(FleetStationWindow& window, int id, const std::string& text) {
        qobject_cast<QLineEdit*>(window.Control(id))->setText(QString::fromStdString(text));
    }

    static void Press(FleetStationWindow& window, int id) {
        auto* button = qobject_cast<QPushButton*>(window.Control(id));
        ASSERT_NE(button, nullptr) << id;
        EXPECT_TRUE(button->isEnabled()) << id;
        button->click();
    }

    static bool Enabled(const FleetStationWindow& window, int id) {
        return window.Control(id)->isEnabled();
    }

    static QString TileLine(const FleetStationWindow& window, std::size_t tile, const char* line) {
        const QWidget* frame = window.TileWidget(tile);
        return frame != nullptr ? frame->findChild<QLabel*>(QLatin1String(line))->text() : QString();
    }

    static QColor TileColour(const FleetStationWindow& window, std::size_t tile) {
        return window.TileWidget(tile)->grab().toImage().pixelColor(4, 4);
    }

    std::vector<fleet::JournalEntry> JournalRows() const {
        std::string failure;
        const auto journal = fleet::OpenJournal(fleet::DefaultJournalFile(), failure);
        std::vector<fleet::JournalEntry> rows;
        EXPECT_TRUE(journal && journal->Newest(10, "", rows)) << failure;
        return rows;
    }

    // Every slot stopped: Start back, Stop off, the inputs usable again.
    static bool Stands(const FleetStationWindow& window) {
        return !window.Running() && Enabled(window, fleet::kStationStart) &&
               !Enabled(window, fleet::kStationStop) &&
               Enabled(window, fleet::kStationProfile) &&
               Enabled(window, fleet::kStationSlots);
    }

    QTemporaryDir folder_;
    std::string profile_;
    std::string formPort_;
    std::string journalModule_;  // the journal's module, when not the build's
    QString chosenFile_;
    std::vector<std::string> messages_;
    std::vector<fleet::StationSound> sounds_;
    std::string soundFailure_;  // the player's answer
};

TEST_F(StationWindowTest, ATickedSlotTurnsGreenWithItsImeiAndIsJournalled) {
    test::SimProcess ticked({"--imei", "864507030000017"});
    test::SimProcess untouched({"--awake"});
    const auto window = Open({ticked.LinkPath(), untouched.LinkPath()});
    chosenFile_ = QString::fromStdString(profile_);
    Press(*window, fleet::kStationProfileBrowse);
    EXPECT_EQ(qobject_cast<QLineEdit*>(window->Control(fleet::kStationProfile))->text(),
              chosenFile_);
    Tick(*window, ticked.LinkPath());
    Press(*window, fleet::kStationStart);
    EXPECT_TRUE(messages_.empty()) << messages_.front();
    EXPECT_FALSE(Enabled(*window, fleet::kStationStart));
    EXPECT_FALSE(Enabled(*window, fleet::kStationProfile));
    EXPECT_TRUE(Enabled(*window, fleet::kStationStop));

    ASSERT_TRUE(WaitUntil([&] { return TileColour(*window, 0) == kGreen; }, 60s))
        << TileLine(*window, 0, "phase").toStdString() << " / "
        << TileLine(*window, 0, "outcome").toStdString();
    // The slot's place and its port shown short; the whole path in the tip.
    EXPECT_EQ(TileLine(*window, 0, "port").toStdString(),
              "1  " + std::filesystem::path(ticked.LinkPath()).filename().string());
    EXPECT_EQ(window->TileWidget(0)->toolTip().toStdString(), ticked.LinkPath());
    EXPECT_EQ(TileLine(*window, 0, "imei"), QStringLiteral("IMEI 864507030000017"));
    // Read from a step away: the slot's name and the outcome first.
    const auto font = [&](const char* line) {
        return window->TileWidget(0)->findChild<QLabel*>(QLatin1String(line))->font();
    };
    EXPECT_TRUE(font("port").bold() && font("outcome").bold());
    EXPECT_FALSE(font("phase").bold() || font("imei").bold());
    EXPECT_GT(font("port").pointSizeF(), font("phase").pointSizeF());
    EXPECT_TRUE(TileLine(*window, 0, "outcome").startsWith(QStringLiteral("done")))
        << TileLine(*window, 0, "outcome").toStdString();
    // The IMEI is named once, on its own line.
    EXPECT_FALSE(TileLine(*window, 0, "outcome").contains(QStringLiteral("864507030000017")))
        << TileLine(*window, 0, "outcome").toStdString();
    EXPECT_EQ(window->TileWidget(1), nullptr);
    EXPECT_TRUE(qobject_cast<QLabel*>(window->Control(fleet::kStationCounters))
                    ->text()
                    .startsWith(QStringLiteral("done 1, unchanged 0, failed 0")));
    const std::vector<fleet::JournalEntry> rows = JournalRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].imei, "864507030000017");
    EXPECT_EQ(rows[0].result, "done");
    EXPECT_EQ(rows[0].port, ticked.LinkPath());
    EXPECT_TRUE(untouched.Commands().empty());

    Press(*window, fleet::kStationStop);
    EXPECT_FALSE(Enabled(*window, fleet::kStationStop));
    ASSERT_TRUE(WaitUntil([&] { return Stands(*window); }, 10s));
    EXPECT_EQ(TileColour(*window, 0), kGreen);  // the last outcome stays in sight
}

// The form opens a port by its kernel name; the station lists the same port
// by the link that leads to it, and must know it for the form's.
TEST_F(StationWindowTest, TheFormsPortIsNeitherOfferedNorTaken) {
    test::SimProcess first({"--awake"});
    test::SimProcess second({"--awake"});
    formPort_ = std::filesystem::read_symlink(first.LinkPath()).string();
    const auto window = Open({first.LinkPath(), second.LinkPath()});
    EXPECT_EQ(Offered(*window), std::vector<std::string>{second.LinkPath()});

    // The form takes the second port while the station stands open.
    Type(*window, fleet::kStationProfile, profile_);
    Tick(*window, second.LinkPath());
    formPort_ = second.LinkPath();
    Press(*window, fleet::kStationStart);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].find(second.LinkPath()), std::string::npos) << messages_[0];
    EXPECT_TRUE(Stands(*window));
    EXPECT_EQ(window->TileWidget(0), nullptr);
    QTest::qWait(300);
    EXPECT_TRUE(second.Commands().empty());

    // Refresh keeps the tick on a port still there; the form's goes.
    formPort_.clear();
    Press(*window, fleet::kStationRefresh);
    EXPECT_EQ(Offered(*window).size(), 2u);
    formPort_ = second.LinkPath();
    Press(*window, fleet::kStationRefresh);
    EXPECT_EQ(Offered(*window), std::vector<std::string>{first.LinkPath()});
}

// Each refusal is a message, and the station stays as it stood.
TEST_F(StationWindowTest, ARefusedStartIsAMessageAndNothingRuns) {
    test::SimProcess tracker({"--awake"});
    // A password of two digits loads, and Set ALL refuses it.
    const std::string refused = Path("refused.toml");
    std::ifstream in(profile_);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    text.replace(text.find("userPassword = \"4321\""), 22, "userPassword = \"12\"");
    std::ofstream(refused) << text;
    const std::string devices = Path("devices.csv");
    std::ofstream(devices) << "imei,no_such_key\n864507030000001,1\n";
    const struct {
        const char* what;
        std::string profile;
        std::string devices;
        bool tick;
        const char* said;
        std::string journalModule = "";
    } cases[] = {
        {"no profile", "", "", true, "Choose the profile first."},
        {"missing profile", Path("missing.toml"), "", true, "missing.toml"},
        {"refused profile", refused, "", true, "refused.toml"},
        {"bad device list", profile_, devices, true, "devices.csv"},
        {"no slot", profile_, "", false, "Tick at least one slot."},
        {"journal's module missing", profile_, "", true, "missing/vorlen-journal.so cannot be loaded",
         Path("missing/vorlen-journal.so")},
    };
    for (const auto& refusal : cases) {
        SCOPED_TRACE(refusal.what);
        messages_.clear();
        journalModule_ = refusal.journalModule;
        const auto window = Open({tracker.LinkPath()});
        Type(*window, fleet::kStationProfile, refusal.profile);
        Type(*window, fleet::kStationDevices, refusal.devices);
        if (refusal.tick) {
            Tick(*window, tracker.LinkPath());
        }
        Press(*window, fleet::kStationStart);
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_NE(messages_[0].find(refusal.said), std::string::npos) << messages_[0];
        EXPECT_TRUE(Stands(*window));
        EXPECT_EQ(window->TileWidget(0), nullptr);
    }
    QTest::qWait(300);
    EXPECT_TRUE(tracker.Commands().empty());
}

// A failed tracker's tile offers Retry, a passed one's does not; Retry runs
// the tracker still in the slot again, and the counters take its second
// outcome. Each outcome is heard once, by whether it passed, until the
// operator turns the sound off; a sound that cannot be played says why.
TEST_F(StationWindowTest, AFailedTileOffersRetryWhichRunsItsTrackerAgain) {
    soundFailure_ = "libcanberra.so.0 cannot be loaded";
    test::SimProcess failing({"--awake", "--refuse", "770"});
    test::SimProcess passing({"--awake", "--imei", "864507030000025"});
    const auto window = Open({failing.LinkPath(), passing.LinkPath()});
    Type(*window, fleet::kStationProfile, profile_);
    Tick(*window, failing.LinkPath());
    Tick(*window, passing.LinkPath());
    Press(*window, fleet::kStationStart);
    ASSERT_TRUE(WaitUntil([&] {
        return TileColour(*window, 0) == kRed && TileColour(*window, 1) == kGreen;
    }, 60s)) << TileLine(*window, 0, "outcome").toStdString();
    const auto retry = [&](std::size_t tile) {
        return window->TileWidget(tile)->findChild<QPushButton*>(QStringLiteral("retry"));
    };
    EXPECT_FALSE(retry(1)->isVisible());
    ASSERT_TRUE(retry(0)->isVisible());
    EXPECT_EQ(retry(0)->text(), QStringLiteral("Retry"));
    // The failure's text wraps whole into its room above Retry, at the
    // window's size and in tiles narrow enough to need three lines for it,
    // rather than being cut mid-line.
    auto* outcome = window->TileWidget(0)->findChild<QLabel*>(QStringLiteral("outcome"));
    for (const QSize size : {window->size(), QSize(600, 700)}) {
        window->resize(size);
        QTest::qWait(50);
        EXPECT_LE(outcome->heightForWidth(outcome->width()), outcome->height())
            << size.width() << "x" << size.height();
    }
    const auto counters = [&] {
        return qobject_cast<QLabel*>(window->Control(fleet::kStationCounters))->text();
    };
    EXPECT_TRUE(counters().startsWith(QStringLiteral("done 1, unchanged 0, failed 1")))
        << counters().toStdString();
    std::vector<fleet::StationSound> heard = sounds_;
    std::sort(heard.begin(), heard.end());
    EXPECT_EQ(heard, (std::vector{fleet::StationSound::Passed, fleet::StationSound::Failed}));
    auto* sound = qobject_cast<QCheckBox*>(window->Control(fleet::kStationSound));
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->text().toStdString(),
              "Sound at each outcome (none is heard: libcanberra.so.0 cannot be loaded)");
    EXPECT_FALSE(sound->styleSheet().isEmpty());
    sound->click();  // off
    retry(0)->click();
    ASSERT_TRUE(WaitUntil([&] { return counters().contains(QStringLiteral("failed 2")); }, 60s))
        << counters().toStdString();
    EXPECT_EQ(TileColour(*window, 0), kRed);
    EXPECT_TRUE(counters().startsWith(QStringLiteral("done 1, unchanged 0, failed 2")));
    EXPECT_EQ(JournalRows().size(), 3u);
    EXPECT_EQ(sounds_.size(), 2u);
}

// The operator's words come back as typed, Chinese too, from a store made
// anew; a key never written is none, not an empty text.
TEST(QtSettingsStore, KeepsEachFieldForTheNextRun) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
    EXPECT_EQ(QtSettingsStore().Read("operator"), std::nullopt);
    EXPECT_EQ(QtSettingsStore().Write("operator", "李 Wei"), "");
    EXPECT_EQ(QtSettingsStore().Write("journal", ""), "");
    EXPECT_EQ(QtSettingsStore().Read("operator"), "李 Wei");
    EXPECT_EQ(QtSettingsStore().Read("journal"), "");
    EXPECT_EQ(QtSettingsStore().Read("station"), std::nullopt);
}

// Whether this process has libcanberra mapped.
bool CanberraLoaded() {
    std::ifstream maps("/proc/self/maps");
    const std::string text((std::istreambuf_iterator<char>(maps)), {});
    return text.find("libcanberra.so") != std::string::npos;
}

// The station's window, like the form, starts without the sound library:
// it is loaded at the first sound, or that sound says why it is not heard.
TEST(DesktopSound, LibcanberraIsLoadedAtTheFirstSoundAndNotBefore) {
    ASSERT_FALSE(CanberraLoaded());
    {
        FleetStationWindow window(fleet::RealStationServices(), kEnglish);
        window.ShowAndRaise();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        EXPECT_FALSE(CanberraLoaded());
    }
    DesktopSound sound;
    const std::string failure = sound.Play("complete", "A tracker passed");
    if (failure.find("libcanberra.so.0 cannot be loaded") == std::string::npos) {
        EXPECT_TRUE(CanberraLoaded()) << failure;
    }
    // No sound server in a test machine is a reason, not a crash; asked
    // again, the same.
    EXPECT_EQ(sound.Play("dialog-error", "A tracker failed"), failure);
}

// However many slots the operator ticks, up to the 16 a station may have,
// every tile is whole inside the window without a scroll bar, and the
// window keeps its size; so too in a smaller window.
TEST_F(StationWindowTest, EveryTileFitsTheWindowAtAnyCountOfSlots) {
    for (const int count : {1, 3, 8, 16}) {
        SCOPED_TRACE(::testing::Message() << count << " slots");
        std::vector<std::string> sockets;
        for (int i = 1; i <= count; ++i) {
            sockets.push_back(Path(("ttyUnplugged" + std::to_string(100 + i)).c_str()));
        }
        const auto window = Open(sockets);
        const QSize size = window->size();
        Type(*window, fleet::kStationProfile, profile_);
        for (const std::string& socket : sockets) {
            Tick(*window, socket);
        }
        Press(*window, fleet::kStationStart);
        ASSERT_TRUE(window->Running()) << (messages_.empty() ? "" : messages_.front());
        for (const QSize shown : {size, QSize(720, 480)}) {
            window->resize(shown);
            QTest::qWait(50);
            EXPECT_EQ(window->size(), shown);
            for (int i = 0; i < count; ++i) {
                const QWidget* tile = window->TileWidget(static_cast<std::size_t>(i));
                ASSERT_NE(tile, nullptr) << i;
                const QRect place(tile->mapTo(window.get(), QPoint(0, 0)), tile->size());
                EXPECT_TRUE(tile->isVisible()) << i;
                EXPECT_FALSE(place.isEmpty()) << i;
                EXPECT_TRUE(window->rect().contains(place))
                    << "tile " << i << " at " << place.x() << "," << place.y() << " "
                    << place.width() << "x" << place.height() << " in " << shown.width() << "x"
                    << shown.height();
            }
        }
        window->close();
    }
}

// A slot whose tracker never answers, and one whose port is not plugged in:
// Stop ends both, and so does closing the window.
TEST_F(StationWindowTest, StopAndCloseEndEverySlot) {
    test::SimProcess silent({"--silent"});
    const std::string unplugged = Path("ttyUnplugged");
    const auto window = Open({silent.LinkPath(), unplugged});
    Type(*window, fleet::kStationProfile, profile_);
    Tick(*window, silent.LinkPath());
    Tick(*window, unplugged);
    Press(*window, fleet::kStationStart);
    ASSERT_TRUE(window->Running());
    // A slot waiting for its port is plain: only slots with news draw the eye.
    EXPECT_EQ(TileColour(*window, 1), window->palette().color(QPalette::Window));
    ASSERT_TRUE(silent.WaitForCommands(1, 10s));
    Press(*window, fleet::kStationStop);
    ASSERT_TRUE(WaitUntil([&] { return Stands(*window); }, 10s));

    Press(*window, fleet::kStationStart);
    ASSERT_TRUE(window->Running());
    window->close();
    EXPECT_FALSE(window->Running());
    EXPECT_TRUE(Stands(*window));
}

}  // namespace
}  // namespace vorlen::testing
