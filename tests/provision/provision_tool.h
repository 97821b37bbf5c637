// How a test reaches vorlen-provision: in the test's own process, or as the
// cross-built vorlen-provision.exe under Wine, with each simulated tracker's
// terminal linked in the Wine prefix as a COM port. scripts/windows-test
// runs this suite the second way.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sim/sim_process.h"

namespace vorlen::test {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

class ProvisionTool {
public:
    virtual ~ProvisionTool() = default;
    // Runs the tool with `arguments`, its output as from a terminal when
    // `terminal` is true (only the in-process tool can pretend that).
    virtual ToolRun Run(const std::vector<std::string>& arguments, bool terminal) = 0;
    // The name the tool knows the tracker's port by.
    virtual std::string PortOf(const SimProcess& tracker) = 0;
    // A port name that names no port.
    virtual std::string AbsentPort() const = 0;
    virtual bool CanActAsTerminal() const = 0;
    // Whether the tool keeps a journal (the Windows build has no SQLite).
    virtual bool KeepsJournal() const = 0;
    // Whether the tool sees a port that PortOf maps as present (PortExists),
    // as a station must before it opens a slot's port. Wine's QueryDosDevice
    // knows only the COM ports its server found when it started, while the
    // ports PortOf maps into the running prefix open all the same.
    virtual bool SeesMappedPorts() const = 0;
    // What starting the tool adds to a run's duration.
    virtual std::chrono::milliseconds StartUp() const = 0;
};

// The in-process tool, or the Windows one when VORLEN_PROVISION_EXE names
// the .exe (then VORLEN_WINE names the script that runs Wine, and
// WINEPREFIX the prefix).
std::unique_ptr<ProvisionTool> ToolFromEnvironment();

}  // namespace vorlen::test
