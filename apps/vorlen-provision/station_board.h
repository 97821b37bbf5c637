// What a station run shows on the terminal: one line per slot (its phase,
// the tracker in it, the last outcome) and the counts under them, redrawn in
// place. Elsewhere (a pipe, a log file) each change of a slot's phase, each
// outcome and the counts after it are plain lines of their own; the steps
// of set-all are not.
#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "fleet/station.h"

namespace vorlen::fleet {

class StationBoard {
public:
    // On a terminal each line is cut to `columns()`: a line that wrapped
    // would leave the redraw in place one line short, and the board would
    // creep down the screen.
    StationBoard(std::ostream& out, bool terminal, const std::vector<std::string>& slots,
                 int language, std::function<std::size_t()> columns);

    // The station's OnChange.
    void Show(std::size_t slot, const SlotState& state, const StationCounts& counts);
    // The station's journalChanged: rows that wait for the server, or a
    // journal that takes none, shown at once under the counts.
    void ShowJournal(const JournalHealth& health);
    // The counts as the station ended.
    void Finish(const StationCounts& counts);

private:
    std::string SlotLine(const SlotState& state, bool withLast) const;
    std::string CountsLine(const StationCounts& counts) const;
    void Redraw();

    std::mutex mutex_;
    std::ostream& out_;
    const bool terminal_;
    const int language_;
    const std::function<std::size_t()> columns_;
    std::vector<SlotState> states_;
    std::vector<bool> told_;  // a plain line has named the slot
    StationCounts counts_;
    std::string journalLine_;  // "" while every row is kept
    bool drawn_ = false;
    bool journalDrawn_ = false;
    std::size_t drawnLines_ = 0;
};

}  // namespace vorlen::fleet
