// How long vorlen.exe takes from its start to its first paint, and how much
// memory it then holds, beside the form's floor (the same form with a dialog
// procedure that does nothing) and a bare dialog, all with the same DLLs and
// manifest, started in turn. Every run is a process of its own, so each
// start-up is a first one. It runs on a Windows PC as under Wine.
//   vorlen_startup_bench <vorlen.exe> <the form's floor> <bare dialog> [runs]
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Run {
    double firstPaintMs = 0;
    double workingSetMb = 0;
    double peakMb = 0;
};

BOOL CALLBACK CloseWindowsOf(HWND window, LPARAM processId) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == static_cast<DWORD>(processId) && ::IsWindowVisible(window)) {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

// The program is idle once it has made and painted its window and waits
// for input: that is the operator's first sight of it.
bool Measure(std::wstring command, Run& run) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const auto start = Clock::now();
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return false;
    }
    const bool idle = ::WaitForInputIdle(process.hProcess, 30000) == 0;
    run.firstPaintMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(process.hProcess, &memory,
                           sizeof memory);
    run.workingSetMb = static_cast<double>(memory.WorkingSetSize) / (1024 * 1024);
    run.peakMb = static_cast<double>(memory.PeakWorkingSetSize) / (1024 * 1024);
    ::EnumWindows(CloseWindowsOf, static_cast<LPARAM>(process.dwProcessId));
    if (::WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.hProcess, 1);
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return idle;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Program {
    const char* name;
    std::wstring command;
    std::vector<double> paint, workingSet, peak;
};

// Runs every program once per round, in turn, so that whatever else the
// machine does falls on each alike.
bool RunRounds(std::vector<Program>& programs, int rounds) {
    for (int round = 0; round < rounds; ++round) {
        for (Program& program : programs) {
            Run run;
            if (!Measure(program.command, run)) {
                std::printf("%s did not come up\n", program.name);
                return false;
            }
            program.paint.push_back(run.firstPaintMs);
            program.workingSet.push_back(run.workingSetMb);
            program.peak.push_back(run.peakMb);
        }
    }
    return true;
}

void Report(const Program& program) {
    std::printf("| %-16s | %8.0f | %8.0f | %8.1f | %8.1f |\n", program.name, Median(program.paint),
                *std::max_element(program.paint.begin(), program.paint.end()),
                Median(program.workingSet), Median(program.peak));
}

std::wstring Quoted(const wchar_t* path) { return L"\"" + std::wstring(path) + L"\""; }

// vorlen.exe may take this much of its floor's time: beyond it, the form's
// own start-up work shows.
constexpr double kGoalOverFloor = 1.2;

void ReportRatios(const Program& vorlen, const Program& floor, const Program& bare) {
    const double overFloor = Median(vorlen.paint) / Median(floor.paint);
    std::printf("\nvorlen.exe / the form's floor: %.2f (goal %.1f: %s)\n", overFloor, kGoalOverFloor,
                overFloor <= kGoalOverFloor ? "met" : "not met");
    std::printf("the form's floor / bare dialog: %.2f\n", Median(floor.paint) / Median(bare.paint));
    std::printf("vorlen.exe / bare dialog: %.2f\n", Median(vorlen.paint) / Median(bare.paint));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: vorlen_startup_bench <vorlen.exe> <the form's floor .exe> "
                             "<bare dialog .exe> [runs]\n");
        return 2;
    }
    const int runs = argc >= 5 ? std::max(1, _wtoi(argv[4])) : 15;
    std::vector<Program> programs{{"bare dialog", Quoted(argv[3]), {}, {}, {}},
                                  {"the form's floor", Quoted(argv[2]), {}, {}, {}},
                                  {"vorlen.exe", Quoted(argv[1]), {}, {}, {}}};
    if (!RunRounds(programs, runs)) {
        return 1;
    }
    std::printf("Median of %d runs each, taken in turn; start-up is from the process's start to "
                "its first paint.\n\n",
                runs);
    std::printf("| program          | start-up | slowest  | working  | peak     |\n");
    std::printf("|                  | ms       | ms       | set MB   | set MB   |\n");
    std::printf("|------------------|----------|----------|----------|----------|\n");
    for (const Program& program : programs) {
        Report(program);
    }
    ReportRatios(programs[2], programs[1], programs[0]);
    return 0;
}
