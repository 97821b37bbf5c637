// How quickly the window comes up and how much memory it takes, side by side
// with a bare QDialog of the same toolkit (bare_dialog.cpp), with the
// simulated tracker on a pseudo-terminal as the only port, on the offscreen
// platform or the one the caller chose. Every run is a program started
// afresh, the form, the bare dialog and a reference dialog with one text and
// an OK button (text_dialog.cpp) in turn, so each start-up pays for loading
// its libraries as the operator's does, and its peak memory is its own.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "first_paint.h"
#include "qt/about_dialog.h"
#include "qt/tracker_window.h"
#include "dialog/start_options.h"
#include "dialog/tracker_config_services.h"
#include "serial/open_port.h"
#include "sim/sim_process.h"

namespace {

using namespace vorlen;
using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;

constexpr int kRuns = 15;
constexpr double kStartUpTargetMs = 300;
constexpr double kMemoryTargetMb = 80;
constexpr double kRatioTarget = 1.2;
// Above this the processor is shared, both programs wait for it, and the
// ratio leans towards 1.
constexpr double kQuietLoad = 0.5;

// What main() does for `vorlen --port <link>`, up to the moment the
// operator sees the form: the application and its icon, the command line,
// the form with the real services (the machine's ports listed, the station's
// services ready), shown and painted; then reported on the pipe `report`.
[[noreturn]] void StartUp(const std::string& link, int report) {
    int argc = 1;
    char name[] = "vorlen";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QApplication::setWindowIcon(ApplicationIcon());
    const StartCommandLine line = ReadStartCommandLine({"--port", link}, PortExists);
    TrackerWindow form(RealTrackerConfigServices(line.options));
    bench::ShowUntilPainted(form);
    bench::ReportPaintedAndLeave(report);
}

struct Run {
    double startUpMs = 0;
    double processorMs = 0;
    double peakMb = 0;
    int libraries = 0;
    bool ok = false;
};

std::chrono::duration<double> Seconds(const timeval& time) {
    return std::chrono::duration<double>(static_cast<double>(time.tv_sec) +
                                         static_cast<double>(time.tv_usec) / 1e6);
}

// Starts `program` with `arguments` and the pipe it reports on, and times it
// from the start to its report of the first paint.
Run RunProgram(const char* program, std::vector<std::string> arguments) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        return {};
    }
    arguments.insert(arguments.begin(), program);
    arguments.push_back(std::to_string(pipeEnds[1]));
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const auto start = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        ::execv(program, argv.data());
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    Run run;
    bench::Painted painted;
    run.ok = child > 0 &&
             ::read(pipeEnds[0], &painted, sizeof painted) == static_cast<ssize_t>(sizeof painted);
    run.startUpMs = Millis(Clock::now() - start).count();
    run.libraries = painted.libraries;
    ::close(pipeEnds[0]);
    int status = 0;
    rusage usage{};
    if (child > 0 && ::wait4(child, &status, 0, &usage) == child) {
        run.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
        run.processorMs = Millis(Seconds(usage.ru_utime) + Seconds(usage.ru_stime)).count();
        run.ok = run.ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return run;
}

double OneMinuteLoad() {
    std::ifstream in("/proc/loadavg");
    double load = -1;
    in >> load;
    return load;
}

// What `uptime` says, to be printed with the figures.
std::string Uptime() {
    std::string said;
    if (std::FILE* uptime = ::popen("uptime", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, uptime) != nullptr) {
            said += line;
        }
        ::pclose(uptime);
    }
    while (!said.empty() && said.back() == '\n') {
        said.pop_back();
    }
    return said;
}

struct Series {
    std::vector<double> startUps;
    std::vector<double> processor;
    std::vector<double> peaks;
    int libraries = 0;
    bool ok = true;

    void Add(const Run& run) {
        ok = ok && run.ok;
        startUps.push_back(run.startUpMs);
        processor.push_back(run.processorMs);
        peaks.push_back(run.peakMb);
        libraries = run.libraries;
    }
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void PrintRow(const char* measure, std::vector<double> values, const std::string& limit,
              const char* met) {
    std::sort(values.begin(), values.end());
    std::printf("| %-40s | %4zu | %9.1f | %9.1f | %9.1f | %-9s | %-6s |\n", measure,
                values.size(), values.front(), Median(values), values.back(), limit.c_str(),
                met);
}

void PrintBound(const char* measure, const std::vector<double>& values, const char* unit,
                double target, bool ok) {
    const std::string limit = "< " + std::to_string(static_cast<int>(target)) + " " + unit;
    PrintRow(measure, values, limit,
             ok && *std::max_element(values.begin(), values.end()) < target ? "met" : "MISSED");
}

void PrintRatio(const char* measure, const std::vector<double>& form,
                const std::vector<double>& bare, bool ok) {
    const double ratio = Median(form) / Median(bare);
    std::printf("| %-40s | %9.1f | %9.1f | %6.2fx | < %.2fx | %-6s |\n", measure, Median(form),
                Median(bare), ratio, kRatioTarget, ok && ratio < kRatioTarget ? "met" : "MISSED");
}

// Against the reference, which is no floor: no target.
void PrintReferenceRatio(const char* measure, const std::vector<double>& form,
                         const std::vector<double>& text) {
    std::printf("| %-40s | %9.1f | %9.1f | %6.2fx |\n", measure, Median(form), Median(text),
                Median(form) / Median(text));
}

int Measure() {
    // Offscreen unless the caller chose a platform (xcb under Xvfb, say).
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    test::SimProcess tracker({"--awake"});

    const double loadBefore = OneMinuteLoad();
    const std::string uptimeBefore = Uptime();
    Series form;
    Series bare;
    Series text;
    for (int i = 0; i < kRuns; ++i) {
        form.Add(RunProgram("/proc/self/exe", {"--form", tracker.LinkPath()}));
        bare.Add(RunProgram(VORLEN_BARE_DIALOG_PATH, {}));
        text.Add(RunProgram(VORLEN_TEXT_DIALOG_PATH, {}));
    }
    const double loadAfter = OneMinuteLoad();
    const bool ok = form.ok && bare.ok && text.ok;

    std::printf("| %-40s | runs | min       | median    | max       | target    | met    |\n",
                "window");
    std::printf("|%s|------|-----------|-----------|-----------|-----------|--------|\n",
                std::string(42, '-').c_str());
    PrintBound("start-up to the first paint, ms", form.startUps, "ms", kStartUpTargetMs, ok);
    PrintRow("bare QDialog: start-up, ms", bare.startUps, "floor", "");
    PrintRow("processor time to the first paint, ms", form.processor, "", "");
    PrintRow("bare QDialog: processor time, ms", bare.processor, "floor", "");
    PrintBound("peak memory (maximum resident), MB", form.peaks, "MB", kMemoryTargetMb, ok);
    PrintRow("bare QDialog: peak memory, MB", bare.peaks, "floor", "");
    PrintRow("QDialog, a text and OK: start-up, ms", text.startUps, "reference", "");
    PrintRow("QDialog, a text and OK: processor, ms", text.processor, "reference", "");
    PrintRow("QDialog, a text and OK: peak memory, MB", text.peaks, "reference", "");
    std::printf("\n| %-40s | form      | QDialog   | ratio   | target  | met    |\n",
                "medians, form against a bare QDialog");
    std::printf("|%s|-----------|-----------|---------|---------|--------|\n",
                std::string(42, '-').c_str());
    PrintRatio("start-up to the first paint, ms", form.startUps, bare.startUps, ok);
    PrintRatio("processor time to the first paint, ms", form.processor, bare.processor, ok);
    PrintRatio("peak memory (maximum resident), MB", form.peaks, bare.peaks, ok);
    std::printf("\n| %-40s | form      | a text    | ratio   |\n",
                "medians, form against a text and OK");
    std::printf("|%s|-----------|-----------|---------|\n", std::string(42, '-').c_str());
    PrintReferenceRatio("start-up to the first paint, ms", form.startUps, text.startUps);
    PrintReferenceRatio("processor time to the first paint, ms", form.processor, text.processor);
    PrintReferenceRatio("peak memory (maximum resident), MB", form.peaks, text.peaks);
    std::printf("\nShared libraries mapped at the first paint: the form %d, a bare QDialog %d, "
                "a QDialog with a text and OK %d.\n",
                form.libraries, bare.libraries, text.libraries);
    std::printf("Load before: %s\nLoad after:  %s\n", uptimeBefore.c_str(), Uptime().c_str());
    std::printf("Machine load (1-minute average): %.2f before, %.2f after.%s\n", loadBefore,
                loadAfter,
                std::max(loadBefore, loadAfter) > kQuietLoad
                    ? " Too busy for the figures to stand: both wait for the processor, and "
                      "the ratios lean towards 1."
                    : "");
    return ok ? 0 : 1;
}

}  // namespace

// Without arguments: the benchmark. With --form <port> <pipe>: one start-up
// of the form, reported on the pipe.
int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--form") {
        StartUp(argv[2], std::atoi(argv[3]));
    }
    return Measure();
}
