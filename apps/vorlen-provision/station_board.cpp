#include "provision/station_board.h"

#include <utility>

#include "fleet/journal_line.h"
#include "fleet/journal_texts.h"
#include "fleet/printable.h"
#include "fleet/tool_texts.h"

namespace vorlen::fleet {

StationBoard::StationBoard(std::ostream& out, bool terminal,
                           const std::vector<std::string>& slots, int language,
                           std::function<std::size_t()> columns)
    : out_(out), terminal_(terminal), language_(language), columns_(std::move(columns)),
      states_(slots.size()),
      told_(slots.size(), false) {
    for (std::size_t i = 0; i < slots.size(); ++i) {
        states_[i].slot = slots[i];
        states_[i].what = Say(text::kSlotWaitingForPort, language);
    }
}

void StationBoard::Show(std::size_t slot, const SlotState& state, const StationCounts& counts) {
    std::lock_guard lock(mutex_);
    const SlotState before = std::exchange(states_[slot], state);
    counts_ = counts;
    if (terminal_) {
        Redraw();
        return;
    }
    // A refused port's reason may change while the slot waits for it, and a
    // slot waiting for a tracker may say that it takes none.
    const bool waiting = state.phase == SlotPhase::WaitingForPort ||
                         state.phase == SlotPhase::WaitingForTracker;
    const bool changed = !told_[slot] || state.phase != before.phase ||
                         (waiting && state.what != before.what);
    told_[slot] = true;
    if (changed && state.phase == SlotPhase::Finished) {
        out_ << Printable(state.slot) << ": " << state.lastLine << '\n' << CountsLine(counts)
             << std::endl;
    } else if (changed) {
        out_ << SlotLine(state, false) << std::endl;
    }
}

void StationBoard::ShowJournal(const JournalHealth& health) {
    std::lock_guard lock(mutex_);
    const std::string before = std::exchange(journalLine_, JournalLine(health, language_));
    if (terminal_) {
        Redraw();
    } else if (journalLine_ != before) {
        out_ << (journalLine_.empty() ? Say(text::kJournalCaughtUp, language_) : journalLine_)
             << std::endl;
    }
}

void StationBoard::Finish(const StationCounts& counts) {
    std::lock_guard lock(mutex_);
    counts_ = counts;
    if (terminal_) {
        Redraw();
    } else {
        out_ << CountsLine(counts) << std::endl;
    }
}

std::string StationBoard::SlotLine(const SlotState& state, bool withLast) const {
    std::string line = Printable(state.slot) + ": ";
    if (!state.imei.empty()) {
        line += "IMEI " + Printable(state.imei) + ": ";
    }
    line += state.what;
    if (withLast && !state.lastLine.empty()) {
        line += Say(text::kSlotLast, language_, {.detail = state.lastLine});
    }
    return line;
}

std::string StationBoard::CountsLine(const StationCounts& counts) const {
    return CountersLine(counts, language_);
}

// Back to the first slot's line (cursor up), then every line cleared and
// written again, the counts last.
void StationBoard::Redraw() {
    if (drawn_) {
        out_ << "\x1b[" << drawnLines_ << 'A';
    }
    const std::size_t columns = columns_();
    for (const SlotState& state : states_) {
        out_ << "\r\x1b[2K" << CutToColumns(SlotLine(state, true), columns) << '\n';
    }
    out_ << "\r\x1b[2K" << CutToColumns(CountsLine(counts_), columns) << '\n';
    // The journal's line, once it has had something to say, stays: blank
    // when every row is kept again, so the lines above stay where they are.
    journalDrawn_ = journalDrawn_ || !journalLine_.empty();
    if (journalDrawn_) {
        out_ << "\r\x1b[2K" << CutToColumns(journalLine_, columns) << '\n';
    }
    out_.flush();
    drawn_ = true;
    drawnLines_ = states_.size() + (journalDrawn_ ? 2 : 1);
}

}  // namespace vorlen::fleet
