// How long vorlen.exe takes from its start to its first paint, and how much
// memory it then holds, beside a bare dialog (vorlen_bare_dialog.exe beside
// this program). Every run is a process of its own, so each start-up is a
// first one.
//   vorlen_startup_bench <path of vorlen.exe> [runs]
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

void Report(const char* name, const std::wstring& command, int runs) {
    std::vector<double> paint, workingSet, peak;
    for (int i = 0; i < runs; ++i) {
        Run run;
        if (!Measure(command, run)) {
            std::printf("%-12s did not come up\n", name);
            return;
        }
        paint.push_back(run.firstPaintMs);
        workingSet.push_back(run.workingSetMb);
        peak.push_back(run.peakMb);
    }
    std::printf("| %-12s | %8.0f | %8.0f | %8.1f | %8.1f |\n", name, Median(paint),
                *std::max_element(paint.begin(), paint.end()), Median(workingSet),
                Median(peak));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: vorlen_startup_bench <vorlen.exe> [runs]\n");
        return 2;
    }
    const int runs = argc >= 3 ? std::max(1, _wtoi(argv[2])) : 5;
    std::printf("Median of %d runs; start-up is from the process's start to its first paint.\n\n",
                runs);
    std::printf("| program      | start-up | slowest  | working  | peak     |\n");
    std::printf("|              | ms       | ms       | set MB   | set MB   |\n");
    std::printf("|--------------|----------|----------|----------|----------|\n");
    std::wstring bare = argv[0];
    bare = bare.substr(0, bare.find_last_of(L"\\/") + 1) + L"vorlen_bare_dialog.exe";
    Report("bare dialog", L"\"" + bare + L"\"", runs);
    Report("vorlen.exe", L"\"" + std::wstring(argv[1]) + L"\"", runs);
    return 0;
}
