// How quickly the window comes up and how much memory it takes, with the
// simulated tracker on a pseudo-terminal as the only port, on the offscreen
// platform. Every run is a child process of its own, so each start-up is a
// first one and its peak memory is the child's alone.
#include <QApplication>
#include <QEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "qt/about_dialog.h"
#include "qt/tracker_window.h"
#include "serial/posix/serial_port.h"
#include "sim/sim_process.h"

namespace {

using namespace vorlen;
using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;

constexpr int kRuns = 10;
constexpr double kStartUpTargetMs = 300;
constexpr double kMemoryTargetMb = 80;

class FirstPaint : public QObject {
public:
    bool seen = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        seen = seen || event->type() == QEvent::Paint;
        return QObject::eventFilter(watched, event);
    }
};

// What main() does, up to the moment the operator sees the form: the
// application, the form started on the simulator's port, shown and painted.
double StartUp(const std::string& link) {
    const auto start = Clock::now();
    int argc = 1;
    char name[] = "vorlen";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QApplication::setWindowIcon(ApplicationIcon());

    TrackerConfigServices services;
    services.enumeratePorts = [link](PortList& ports) {
        ports = {PortInfo{link, link, "Virtual serial port", 0, "Virtual serial port"}};
    };
    services.openPort = [](const std::string& portName, OpenFailure*) -> std::shared_ptr<Port> {
        return OpenPort(portName);
    };
    TrackerWindow form(std::move(services));
    FirstPaint paint;
    form.installEventFilter(&paint);
    form.show();
    while (!paint.seen) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    QCoreApplication::processEvents();
    return Millis(Clock::now() - start).count();
}

struct Run {
    double startUpMs = 0;
    double peakMb = 0;
    bool ok = false;
};

Run RunInChild(const std::string& link) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        return {};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        const double ms = StartUp(link);
        const bool written = ::write(pipeEnds[1], &ms, sizeof ms) == sizeof ms;
        // Not exit(): the simulator object belongs to the parent.
        ::_exit(written ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    Run run;
    run.ok = child > 0 && ::read(pipeEnds[0], &run.startUpMs, sizeof run.startUpMs) ==
                              static_cast<ssize_t>(sizeof run.startUpMs);
    ::close(pipeEnds[0]);
    int status = 0;
    rusage usage{};
    if (child > 0 && ::wait4(child, &status, 0, &usage) == child) {
        run.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
        run.ok = run.ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return run;
}

void PrintRow(const char* measure, std::vector<double> values, const char* unit, double target,
              bool ok) {
    std::sort(values.begin(), values.end());
    const double median = values[values.size() / 2];
    const std::string limit = "< " + std::to_string(static_cast<int>(target)) + " " + unit;
    std::printf("| %-36s | %4zu | %9.1f | %9.1f | %9.1f | %-9s | %-6s |\n", measure,
                values.size(), values.front(), median, values.back(), limit.c_str(),
                ok && values.back() < target ? "met" : "MISSED");
}

}  // namespace

int main() {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    test::SimProcess tracker({"--awake"});

    std::vector<double> startUps;
    std::vector<double> peaks;
    bool ok = true;
    for (int i = 0; i < kRuns; ++i) {
        const Run run = RunInChild(tracker.LinkPath());
        ok = ok && run.ok;
        startUps.push_back(run.startUpMs);
        peaks.push_back(run.peakMb);
    }
    std::printf("| %-36s | runs | min       | median    | max       | target    | met    |\n",
                "window");
    std::printf("|%s|------|-----------|-----------|-----------|-----------|--------|\n",
                std::string(38, '-').c_str());
    PrintRow("start-up to the first paint, ms", startUps, "ms", kStartUpTargetMs, ok);
    PrintRow("peak memory (maximum resident), MB", peaks, "MB", kMemoryTargetMb, ok);
    return ok ? 0 : 1;
}
