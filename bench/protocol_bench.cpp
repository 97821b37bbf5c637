// How long the tool's actions take against a tracker that answers at once
// (the simulator on a pseudo-terminal), next to the floor the 50 ms polling
// sets. Prints one table row per action.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "protocol/line_record.h"
#include "protocol/readback.h"
#include "protocol/recorded_port.h"
#include "protocol/set_all.h"
#include "protocol/transaction.h"
#include "protocol/wake_worker.h"
#include "serial/posix/serial_port.h"
#include "sim/sim_process.h"

namespace {

using namespace vorlen;
using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;

// The window's side of the sequences, reduced to nothing.
class NullView : public FormView {
public:
    void ReportStatus(const std::string&, StatusMark mark) override { lastMark = mark; }
    void Refresh() override {}
    void ShowReading(const TrackerReading&) override {}
    StatusMark lastMark = StatusMark::None;
};

struct Row {
    const char* action;
    double floorMs;
    double targetMs;  // within this much of the floor
    int runs;
    std::function<bool()> run;  // true when the action ended as expected
};

void Measure(const Row& row) {
    std::vector<double> times;
    bool ok = true;
    for (int i = 0; i < row.runs; ++i) {
        const auto start = Clock::now();
        ok = row.run() && ok;
        times.push_back(Millis(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    const bool met = ok && median - row.floorMs <= row.targetMs;
    std::printf("| %-34s | %4d | %9.1f | %9.1f | %9.1f | %8.1f | +%-6.0f | %-4s |\n", row.action,
                row.runs, times.front(), median, times.back(), row.floorMs, row.targetMs,
                met ? "met" : "MISSED");
}

// What recording costs a transaction beyond its pauses: one command and its
// OK appended to a full record.
void MeasureRecording() {
    LineRecord record;
    constexpr int kAppends = 100000;
    const auto start = Clock::now();
    for (int i = 0; i < kAppends; ++i) {
        record.Append(LineDirection::Written, "AT+OPENAT=221,;\r\n");
        record.Append(LineDirection::Received, "\r\nOK\r\n");
    }
    const double nanos = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
    std::printf("\nRecording one command and its OK: %.0f ns\n", nanos / kAppends);
}

}  // namespace

int main() {
    test::SimProcess awake({"--awake"});
    test::SimProcess silent({"--silent"});
    const std::shared_ptr<SerialPort> port = SerialPort::Open(awake.LinkPath());
    const std::shared_ptr<SerialPort> silentPort = SerialPort::Open(silent.LinkPath());
    if (!port || !silentPort) {
        std::fprintf(stderr, "cannot open the simulator's port\n");
        return 1;
    }
    PortSlot slot;
    slot.Replace(port);
    // The same line with the record the window keeps around it.
    LineRecord record;
    RecordedPort recorded(port, record);

    TrackerForm form;
    form.userPassword = "1234";
    form.intervalTime = "30";
    form.uploadCount = "1";
    Selections selections{0, 0, 0, 0, 0, 0};
    NullView view;
    std::string reply;

    std::printf("| %-34s | runs | min ms    | median ms | max ms    | floor ms | target  | met  |\n",
                "action");
    std::printf("|%s|------|-----------|-----------|-----------|----------|---------|------|\n",
                std::string(36, '-').c_str());
    const Row rows[] = {
        {"one acknowledged command", 50, 5, 40,
         [&] { return RunTransaction(port.get(), "AT+OPENAT=221,;\r\n", reply); }},
        {"one acknowledged command, recorded", 50, 5, 40,
         [&] { return RunTransaction(&recorded, "AT+OPENAT=221,;\r\n", reply); }},
        {"set-all, nineteen commands", 19 * 50, 19 * 5, 5,
         [&] {
             SendAllSettings(port.get(), form, selections, view, 1);
             return view.lastMark == StatusMark::Success;
         }},
        {"read-back, three queries", 3 * 50, 3 * 5, 10,
         [&] {
             ReadBackConfiguration(port.get(), form, view, 1);
             return view.lastMark == StatusMark::Success;
         }},
        {"silent tracker, one command", 50 * 50, 100, 2,
         [&] { return !RunTransaction(silentPort.get(), "AT+OPENAT=221,;\r\n", reply); }},
        {"wake-up of an awake tracker", 200, 10, 10,
         [&] { return WakeTracker({}, slot, RealPause()); }},
    };
    for (const Row& row : rows) {
        Measure(row);
    }
    MeasureRecording();
    return 0;
}
