// How long vorlen-provision takes for one awake simulated tracker (wake-up,
// set-all, verification) next to the floor the 50 ms polling sets, and for
// eight in parallel next to one. Runs the program in this process; prints
// one table row each.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "profile/profile_file.h"
#include "provision/run.h"
#include "sim/sim_process.h"

namespace {

using namespace vorlen;
using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;

// Wake-up 200 ms, set-all 19 x 50 ms, read-back 3 x 50 ms.
constexpr double kFloorMs = 200 + 19 * 50 + 3 * 50;
constexpr double kParallelFactor = 1.15;

struct Times {
    double min;
    double median;
    double max;
    bool passed;
};

// Provisions the trackers `runs` times with one program run each.
using Trackers = std::vector<std::unique_ptr<test::SimProcess>>;

Times Measure(const std::string& profile, const Trackers& sims, int runs) {
    std::vector<std::string> arguments{"vorlen-provision", "--profile", profile};
    for (const auto& sim : sims) {
        arguments.insert(arguments.end(), {"--port", sim->LinkPath()});
    }
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    std::vector<double> times;
    bool passed = true;
    for (int i = 0; i < runs; ++i) {
        std::ostringstream out;
        const auto start = Clock::now();
        passed = provision::Run(static_cast<int>(argv.size()), argv.data(), out, out, false) ==
                     provision::kAllPassed &&
                 passed;
        times.push_back(Millis(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2], times.back(), passed};
}

Trackers AwakeTrackers(int count) {
    Trackers sims;
    for (int i = 0; i < count; ++i) {
        sims.push_back(std::make_unique<test::SimProcess>(std::vector<std::string>{"--awake"}));
    }
    return sims;
}

void PrintRow(const char* action, int runs, const Times& times, double bound, const char* target) {
    const bool met = times.passed && times.median <= bound;
    std::printf("| %-30s | %4d | %9.1f | %9.1f | %9.1f | %-22s | %-6s |\n", action, runs, times.min,
                times.median, times.max, target, met ? "met" : "MISSED");
}

}  // namespace

int main() {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "vorlen-provision-bench";
    std::filesystem::create_directories(folder);
    const std::string profile = (folder / "fleet.toml").string();
    TrackerForm form;
    form.userPassword = "1234";
    form.intervalTime = "30";
    form.uploadCount = "1";
    if (!SaveProfileFile(profile, form, Selections{0, 0, 0, 0, 0, 0})) {
        std::fprintf(stderr, "cannot write %s\n", profile.c_str());
        return 1;
    }
    const auto one = AwakeTrackers(1);
    const auto eight = AwakeTrackers(8);
    const Times single = Measure(profile, one, 5);
    const Times parallel = Measure(profile, eight, 5);
    std::filesystem::remove_all(folder);

    std::printf("| %-30s | runs | min ms    | median ms | max ms    | %-22s | met    |\n",
                "provisioning", "target");
    std::printf("|%s|------|-----------|-----------|-----------|%s|--------|\n",
                std::string(32, '-').c_str(), std::string(24, '-').c_str());
    char floorTarget[32];
    std::snprintf(floorTarget, sizeof floorTarget, "floor %.0f, +10 %%", kFloorMs);
    PrintRow("one tracker", 5, single, kFloorMs * 1.10, floorTarget);
    char parallelTarget[32];
    std::snprintf(parallelTarget, sizeof parallelTarget, "< %.2f x one (%.0f)", kParallelFactor,
                  single.median * kParallelFactor);
    PrintRow("eight trackers in parallel", 5, parallel, single.median * kParallelFactor,
             parallelTarget);
    return 0;
}
