#include "provision/station_board.h"

#include <algorithm>
#include <utility>

#include "fleet/journal_line.h"
#include "fleet/journal_texts.h"
#include "fleet/printable.h"
#include "fleet/report.h"
#include "fleet/tool_texts.h"

namespace vorlen::fleet {
namespace {

// The terminal's bell: the operator watches the tracker, not the screen.
constexpr char kBell = '\a';

bool Failed(const SlotState& state) {
    return state.phase == SlotPhase::Finished && state.last && !Passed(*state.last);
}

}  // namespace

StationBoard::StationBoard(std::ostream& out, const std::vector<SlotName>& slots,
                           BoardSetup setup)
    : out_(out), setup_(std::move(setup)), states_(slots.size()), told_(slots.size(), false) {
    for (std::size_t i = 0; i < slots.size(); ++i) {
        headings_.push_back(Printable(SlotHeading(slots[i])));
        states_[i].slot = slots[i].port;
        states_[i].what = Say(text::kSlotWaitingForPort, setup_.language);
    }
}

void StationBoard::Show(std::size_t slot, const SlotState& state, const StationCounts& counts) {
    std::lock_guard lock(mutex_);
    if (finished_) {
        return;
    }
    const SlotState before = std::exchange(states_[slot], state);
    counts_ = counts;
    if (!setup_.terminal) {
        ShowPlain(slot, before);
        return;
    }
    if (setup_.bell && Failed(state) && before.phase != SlotPhase::Finished) {
        out_ << kBell;
    }
    Redraw();
}

// A refused port's reason may change while the slot waits for it, and a
// slot waiting for a tracker may say that it takes none; an outcome is
// told once, with the counts after it.
void StationBoard::ShowPlain(std::size_t slot, const SlotState& before) {
    const SlotState& state = states_[slot];
    const bool waiting = state.phase == SlotPhase::WaitingForPort ||
                         state.phase == SlotPhase::WaitingForTracker;
    const bool changed = !told_[slot] || state.phase != before.phase ||
                         (waiting && state.what != before.what);
    told_[slot] = true;
    if (changed && state.phase == SlotPhase::Finished) {
        out_ << headings_[slot] << ": " << state.lastLine << '\n'
             << CountersLine(counts_, setup_.language) << std::endl;
    } else if (changed) {
        out_ << SlotLine(slot, false) << std::endl;
    }
}

void StationBoard::ShowCounts(const StationCounts& counts) {
    std::lock_guard lock(mutex_);
    if (finished_) {
        return;
    }
    counts_ = counts;
    if (setup_.terminal) {
        Redraw();
    }
}

void StationBoard::ShowJournal(const JournalHealth& health) {
    std::lock_guard lock(mutex_);
    if (finished_) {
        return;
    }
    const std::string before =
        std::exchange(journalLine_, JournalLine(health, setup_.language));
    if (setup_.terminal) {
        Redraw();
    } else if (journalLine_ != before) {
        out_ << (journalLine_.empty() ? Say(text::kJournalCaughtUp, setup_.language)
                                      : journalLine_)
             << std::endl;
    }
}

void StationBoard::Finish(const StationCounts& counts) {
    std::lock_guard lock(mutex_);
    finished_ = true;
    counts_ = counts;
    if (setup_.terminal) {
        Redraw();
    } else {
        out_ << CountersLine(counts, setup_.language) << std::endl;
    }
}

std::string StationBoard::SlotLine(std::size_t slot, bool withLast) const {
    const SlotState& state = states_[slot];
    std::string line = headings_[slot] + ": ";
    if (!state.imei.empty()) {
        line += "IMEI " + Printable(state.imei) + ": ";
    }
    line += state.what;
    if (withLast && !state.lastLine.empty()) {
        line += Say(text::kSlotLast, setup_.language, {.detail = state.lastLine});
    }
    return line;
}

// The rows the board took when last drawn, at the width the terminal has
// now: a terminal that reflows its lines when made narrower wraps a line
// drawn wider than it is now.
std::size_t StationBoard::RowsDrawn(std::size_t columns) const {
    std::size_t rows = 0;
    for (const std::size_t width : drawnWidths_) {
        rows += width == 0 ? 1 : (width + columns - 1) / columns;
    }
    return rows;
}

// Back to the first slot's line (cursor up), everything from there down
// cleared, and the lines written again, the counts last. Each line is cut
// one column short of the width: a line that wrapped would leave the redraw
// one row short and a stale copy on the screen, and some terminals (the
// Windows console) go to the next row as soon as the last column is written.
void StationBoard::Redraw() {
    const std::size_t columns = std::max<std::size_t>(setup_.columns(), 2);
    if (const std::size_t rows = RowsDrawn(columns); rows > 0) {
        out_ << "\x1b[" << rows << 'A';
    }
    out_ << "\r\x1b[J";
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < states_.size(); ++i) {
        lines.push_back(SlotLine(i, true));
    }
    lines.push_back(CountersLine(counts_, setup_.language));
    // The journal's line, once it has had something to say, stays: blank
    // when every row is kept again, so the lines above stay where they are.
    journalDrawn_ = journalDrawn_ || !journalLine_.empty();
    if (journalDrawn_) {
        lines.push_back(journalLine_);
    }
    drawnWidths_.clear();
    for (const std::string& line : lines) {
        const std::string cut = CutToColumns(line, columns - 1);
        out_ << cut << '\n';
        drawnWidths_.push_back(DisplayColumns(cut));
    }
    out_.flush();
}

}  // namespace vorlen::fleet
