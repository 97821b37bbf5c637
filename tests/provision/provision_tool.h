// How a test reaches vorlen-provision: in the test's own process, or as the
// cross-built vorlen-provision.exe under Wine, with each simulated tracker's
// terminal linked in the Wine prefix as a COM port. scripts/windows-test
// runs this suite the second way.
#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

#include "sim/sim_process.h"

namespace vorlen::test {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

// A station slot: the port the tool is told to watch, which appears when a
// link to a tracker's terminal is made at the Linux path `link` and vanishes
// when the link goes.
struct StationSlot {
    std::string port;
    std::string link;
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
    // What the tool calls the file at the Linux path `path`.
    virtual std::string FileName(const std::string& path) const = 0;
    // Where the tool keeps its default journal (the user's data folder).
    virtual std::filesystem::path DataFolder() const = 0;
    // The Unix mode bits that a file or folder the tool made private must
    // not have: group and others natively; under Wine, whose owner-only
    // access list comes out as the user's and the group's bits, others.
    virtual unsigned NotPrivateBits() const = 0;
    // Makes a file at the Linux path `path` as a program of the tool's kind
    // makes one without an access list of its own: a plain file.
    virtual void MakePlainFile(const std::string& path) = 0;
    // Whether SQLite's write-ahead log stays beside a journal after the tool
    // ends (on Windows), rather than going with the last connection.
    virtual bool LeavesSqliteLog() const = 0;
    // Whether the tool reaches a database over TCP only (no Unix socket).
    virtual bool DatabaseOverTcp() const = 0;
    // Starts the tool as a process of its own, its output and errors into
    // the file `out`; ExitOf (journal_rows.h) waits for it.
    virtual pid_t Start(const std::vector<std::string>& arguments, const std::string& out) = 0;
    // Whether the tool sees a port that PortOf maps as present (PortExists),
    // as a station must before it opens a slot's port. Wine's QueryDosDevice
    // knows only the COM ports its server found when it started, while the
    // ports PortOf maps into the running prefix open all the same.
    virtual bool SeesMappedPorts() const = 0;
    // The station slot number `slot` (from 0), its link in `folder` natively;
    // under Wine one of the COM ports scripts/windows-test mapped before the
    // server started (VORLEN_TEST_SLOT_PORTS), none when there are no more.
    virtual std::optional<StationSlot> Slot(std::size_t slot, const std::string& folder) const = 0;
    // What starting the tool adds to a run's duration.
    virtual std::chrono::milliseconds StartUp() const = 0;
};

// The in-process tool, or the Windows one when VORLEN_PROVISION_EXE names
// the .exe (then VORLEN_WINE names the script that runs Wine, and
// WINEPREFIX the prefix).
std::unique_ptr<ProvisionTool> ToolFromEnvironment();

}  // namespace vorlen::test
