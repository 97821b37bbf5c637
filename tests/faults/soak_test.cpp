// Two thousand acknowledged commands through the window, as an operator
// session of a few hours would send: the window's memory and descriptors
// must not creep. The figures are printed for the README.
#include <QCoreApplication>
#include <QThreadPool>
#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <thread>

#include "../window/rig.h"
#include "model/control_ids.h"

namespace vorlen::testing {
namespace {

constexpr int kWarmUp = 300;
constexpr int kCommands = 2000;
constexpr long kResidentSlack = 1L << 20;

// Open GPS and Close GPS in turn, with the event loop turning between the
// presses like the operator's session.
void PressGps(TrackerWindow& form, int i) {
    Press(form, i % 2 == 0 ? kOpenGps : kCloseGps);
    QCoreApplication::processEvents();
}

TEST(Soak, TwoThousandCommandsKeepMemoryAndDescriptorsSteady) {
    // Qt paints in the threads of its global pool, each with an event
    // descriptor; an idle one ends after 30 s and takes its descriptor along.
    // Kept for the run, they cannot hide a descriptor the window leaks.
    QThreadPool::globalInstance()->setExpiryTimeout(-1);
    test::SimProcess sim;
    Machine machine{{sim.LinkPath()}};
    machine.keepWrites = false;
    TrackerConfigServices services = machine.Services();
    // Every command still polls until its OK; the polls come faster.
    services.transactionPause = [](std::chrono::milliseconds) {
        std::this_thread::sleep_for(1ms);
        return true;
    };
    TrackerWindow form(std::move(services));
    form.show();
    ASSERT_TRUE(WakeUp(form));

    for (int i = 0; i < kWarmUp; ++i) {
        PressGps(form, i);
    }
    const long residentAtWarmUp = ResidentBytes();
    const std::vector<std::string> descriptorsAtWarmUp = OpenDescriptors();
    long residentPeak = residentAtWarmUp;
    int failures = 0;
    for (int i = kWarmUp; i < kCommands; ++i) {
        PressGps(form, i);
        failures += form.Dialog().CurrentStatusMark() == StatusMark::Success ? 0 : 1;
        residentPeak = std::max(residentPeak, ResidentBytes());
    }
    const long residentAtEnd = ResidentBytes();
    const std::vector<std::string> descriptorsAtEnd = OpenDescriptors();

    std::printf("[ soak     ] %d acknowledged commands; resident memory after %d: %ld kB, "
                "at the end: %ld kB (%+ld kB, peak %ld kB); open descriptors %zu -> %zu\n",
                kCommands, kWarmUp, residentAtWarmUp / 1024, residentAtEnd / 1024,
                (residentAtEnd - residentAtWarmUp) / 1024, residentPeak / 1024,
                descriptorsAtWarmUp.size(), descriptorsAtEnd.size());
    RecordProperty("commands", kCommands);
    RecordProperty("resident_kb_after_warm_up", static_cast<int>(residentAtWarmUp / 1024));
    RecordProperty("resident_kb_at_end", static_cast<int>(residentAtEnd / 1024));
    RecordProperty("resident_kb_peak", static_cast<int>(residentPeak / 1024));
    RecordProperty("descriptors_after_warm_up", static_cast<int>(descriptorsAtWarmUp.size()));
    RecordProperty("descriptors_at_end", static_cast<int>(descriptorsAtEnd.size()));

    EXPECT_EQ(failures, 0);
    if (kResidentSetIsMeaningful) {
        EXPECT_LE(residentPeak - residentAtWarmUp, kResidentSlack);
    }
    EXPECT_EQ(descriptorsAtEnd, descriptorsAtWarmUp);
    EXPECT_EQ(StatusText(form), "Close GPS power successfully!");
    EXPECT_EQ(sim.Commands().size(), kWakeUpCommands.size() + kCommands);
    EXPECT_EQ(machine.opened.at(0)->WriteCount(), kWakeUpCommands.size() + kCommands);
}

}  // namespace
}  // namespace vorlen::testing
