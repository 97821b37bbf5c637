// What the station's behaviour needs of a window toolkit: two file fields,
// a list of ports to tick, Start and Stop, the counters, and a tile per slot.
// A window implements this over its real controls and forwards each press
// by its id; the controller never sees a widget. Texts cross it as UTF-8.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vorlen::fleet {

// The station window's controls; a window may give its own controls these ids.
inline constexpr int kStationTitle = 0;  // the window's own title
inline constexpr int kStationProfileLabel = 300;
inline constexpr int kStationProfile = 301;        // edit: the profile file
inline constexpr int kStationProfileBrowse = 302;  // button
inline constexpr int kStationDevicesLabel = 303;
inline constexpr int kStationDevices = 304;        // edit: the device list, may be empty
inline constexpr int kStationDevicesBrowse = 305;  // button
inline constexpr int kStationSlotsLabel = 306;
inline constexpr int kStationSlots = 307;          // the ports to tick
inline constexpr int kStationRefresh = 308;        // button: look for ports again
inline constexpr int kStationStart = 309;          // button
inline constexpr int kStationStop = 310;           // button
inline constexpr int kStationCounters = 311;       // one line: done, unchanged, failed, per hour
inline constexpr int kStationJournal = 312;        // one line: where the outcomes are recorded
inline constexpr int kStationSound = 313;          // check box: a sound at each outcome
inline constexpr int kStationNameLabel = 314;
inline constexpr int kStationName = 315;           // edit: the station's name, the host's if empty
inline constexpr int kStationOperatorLabel = 316;
inline constexpr int kStationOperator = 317;       // edit: who works the station, may be empty
inline constexpr int kStationJournalLabel = 318;
inline constexpr int kStationJournalWhere = 319;   // edit: a file or a PostgreSQL URI; empty: the default file
// The Retry button of tile n (from 0) is kStationFirstRetry + n; a station
// has at most kStationMostSlots slots.
inline constexpr int kStationFirstRetry = 500;
inline constexpr int kStationMostSlots = 16;
inline constexpr int kStationReport = 330;         // button: today's report, in the browser

// A port the operator may tick as a slot.
struct SlotChoice {
    std::string name;   // what the station opens: a /dev/serial/by-path link, or COM3
    std::string label;  // what the list shows: the port short and the adapter's description
    bool ticked = false;
};

// How a tile is coloured.
enum class TileMark { Idle, Working, Passed, Failed };

// One slot, as its tile shows it; large enough to read from a step away.
struct Tile {
    std::string slot;     // the slot's heading: its name and its port shown short
    std::string port;     // the whole port, for the tile's tip
    std::string phase;    // what the slot is doing now
    std::string imei;     // "IMEI 864507030000001", or empty
    std::string outcome;  // the last tracker's outcome line, or empty
    TileMark mark = TileMark::Idle;
    // The Retry button's caption while the slot offers to run its failed
    // tracker again; empty: no button.
    std::string retry;
};

enum class StationFile { Profile, DeviceList };

// What the operator hears at a tracker's outcome, without looking up from
// the cable: a short sound when it passed, a longer, different one when it
// failed.
enum class StationSound { Passed, Failed };

class StationWindow {
public:
    virtual ~StationWindow() = default;

    // A caption, a label, an edit's text or the window's title.
    virtual void SetText(int controlId, const std::string& text) = 0;
    // An edit's text as the operator left it.
    virtual std::string Text(int controlId) const = 0;
    virtual void Enable(int controlId, bool enable) = 0;
    // A line that tells of a fault (the journal takes no rows, or rows wait)
    // is drawn in red until it is told that all is well again.
    virtual void ShowFault(int controlId, bool fault) = 0;
    // A check box's state.
    virtual bool IsChecked(int controlId) const = 0;
    virtual void SetChecked(int controlId, bool checked) = 0;
    // Plays the sound through the system's own sounds and returns at once;
    // the reason when it cannot be played, else "".
    virtual std::string PlaySound(StationSound sound) = 0;

    // The ports to tick, replacing those shown.
    virtual void ShowSlotChoices(const std::vector<SlotChoice>& choices) = 0;
    // The names of the ticked ports, in the list's order.
    virtual std::vector<std::string> TickedSlots() const = 0;

    // One tile per slot, in this order, replacing those shown.
    virtual void ShowTiles(const std::vector<Tile>& tiles) = 0;
    virtual void ShowTile(std::size_t index, const Tile& tile) = 0;

    // A modal box with an OK button; returns when the operator has answered.
    virtual void ShowMessage(const std::string& text) = 0;
    // Asks which file to use; nothing when the operator cancels.
    virtual std::optional<std::filesystem::path> AskFile(const std::string& caption,
                                                         StationFile kind) = 0;

    // Runs `call` on the window's thread soon; safe from any thread, and
    // dropped once the window is gone.
    virtual void RunOnWindowThread(std::function<void()> call) = 0;
};

}  // namespace vorlen::fleet
