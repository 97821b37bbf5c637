// What a station run shows on the terminal: one line per slot (its name, its
// port short, its phase, the tracker in it, the last outcome) and the counts
// under them, redrawn in place. Elsewhere (a pipe, a log file) each change
// of a slot's phase, each outcome and the counts after it are plain lines of
// their own, each once, uncut; the steps of set-all are not.
#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "fleet/slot_name.h"
#include "fleet/station.h"

namespace vorlen::fleet {

struct BoardSetup {
    bool terminal = false;
    // Ring the terminal's bell on a failure (only on a terminal).
    bool bell = false;
    int language = 1;
    // The terminal's width now: it may change while the station runs.
    std::function<std::size_t()> columns;
};

class StationBoard {
public:
    StationBoard(std::ostream& out, const std::vector<SlotName>& slots, BoardSetup setup);

    // The station's OnChange.
    void Show(std::size_t slot, const SlotState& state, const StationCounts& counts);
    // The station's countsChanged: the pace, redrawn on a terminal.
    void ShowCounts(const StationCounts& counts);
    // The station's journalChanged: rows that wait for the server, or a
    // journal that takes none, shown at once under the counts.
    void ShowJournal(const JournalHealth& health);
    // The counts as the station ended. The board is then done: what the
    // station's threads still tell is not drawn over the lines that follow.
    void Finish(const StationCounts& counts);

private:
    std::string SlotLine(std::size_t slot, bool withLast) const;
    void ShowPlain(std::size_t slot, const SlotState& before);
    void Redraw();
    std::size_t RowsDrawn(std::size_t columns) const;

    std::mutex mutex_;
    std::ostream& out_;
    const BoardSetup setup_;
    std::vector<std::string> headings_;  // "A  USB 1.2"
    std::vector<SlotState> states_;
    std::vector<bool> told_;  // a plain line has named the slot
    StationCounts counts_;
    std::string journalLine_;  // "" while every row is kept
    bool journalDrawn_ = false;
    bool finished_ = false;
    // The display width of each line as last drawn: on a terminal made
    // narrower since, a line may now take more than one row.
    std::vector<std::size_t> drawnWidths_;
};

}  // namespace vorlen::fleet
