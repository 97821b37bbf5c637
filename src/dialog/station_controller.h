// The station window's behaviour, the same in every window: the captions in
// the form's language, the ports offered as slots (never the form's own),
// what Browse, Refresh, Start, Stop and Report... do, and the tiles and counters while
// the station runs.
#pragma once

#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "fleet/local_zone.h"
#include "fleet/station.h"
#include "dialog/station_settings.h"
#include "dialog/station_window.h"
#include "serial/port_info.h"

namespace vorlen::fleet {

struct StationServices {
    // The machine's ports (serial/enumerate_ports.h).
    std::function<void(PortList&)> enumeratePorts;
    // The port the form holds open, "" for none: never offered as a slot and
    // refused at Start.
    std::function<std::string()> formPort;
    // The journal the station records into: `where` (a file or a
    // PostgreSQL URI), the default file when it is empty. Null, with the
    // reason in `failure` (empty when this build keeps none), when there is
    // none.
    std::function<std::unique_ptr<Journal>(const std::string& where, std::string& failure)>
        openJournal;
    // Where the station's fields are kept between runs; null: nowhere.
    std::shared_ptr<SettingsStore> settings;
    StationSystem system = RealSystem();

    // Report...: today's rows of the default journal, read only, as one
    // HTML file in `reportFolder`, opened in the default browser.
    std::function<std::unique_ptr<Journal>(std::string& failure)> openJournalToRead;
    std::filesystem::path reportFolder;
    // False when no browser could be started.
    std::function<bool(const std::filesystem::path& file)> openInBrowser;
    const Zone* zone = &MachineZone();
    std::function<std::time_t()> now = [] { return std::time(nullptr); };
};

// Starts the desktop's default browser on `file` and does not wait for it
// (xdg-open; ShellExecuteW on Windows). False when it cannot be started.
bool OpenInBrowser(const std::filesystem::path& file);

// The services of the real machine; `formPort` tells the form's port.
StationServices RealStationServices(std::function<std::string()> formPort = {});

// The sound a slot's change calls for: one when a tracker's outcome has
// just come in, by that outcome; nothing for any other change.
std::optional<StationSound> SoundFor(const SlotState& before, const SlotState& now);

class StationController {
public:
    // `window` must outlive the controller. Shows nothing until told to.
    StationController(StationWindow& window, StationServices services);
    // Stops a running station and waits for its slots.
    ~StationController();
    StationController(const StationController&) = delete;
    StationController& operator=(const StationController&) = delete;

    // The window's controls are there: the sound switch (and the fields) as
    // the operator left them at the last run, the switch on at the first.
    void Restore();

    // Captions, counters and the journal line in the language (0 Chinese,
    // anything else English).
    void SetLanguage(int language);
    // The window comes into sight, at its first showing and at every one
    // after: the ports of this moment are offered, those ticked stay
    // ticked, so that an adapter plugged in meanwhile is there and the
    // port the form took meanwhile is gone. A running station's list stays.
    void Show();

    // A press of the button of that id; other ids do nothing.
    void Press(int buttonId);

    bool Running() const;
    // The window is closing: the station stops after each slot's current
    // command, and this returns once every slot has ended.
    void Close();

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace vorlen::fleet
