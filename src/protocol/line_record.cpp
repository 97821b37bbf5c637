#include "protocol/line_record.h"

#include <algorithm>

namespace vorlen {

LineRecord::LineRecord(Clock clock, std::size_t entries)
    : clock_(std::move(clock)), start_(clock_()), capacity_(std::max<std::size_t>(entries, 1)) {}

void LineRecord::Append(LineDirection direction, std::string_view bytes, std::size_t notWritten) {
    LineEntry entry;
    entry.direction = direction;
    entry.bytes.assign(bytes.substr(0, kEntryBytes));
    entry.notKept = bytes.size() - entry.bytes.size();
    entry.notWritten = notWritten;

    std::lock_guard lock(mutex_);
    // Taken under the lock, so times never run backwards along the sequence.
    entry.time = std::chrono::duration_cast<std::chrono::milliseconds>(clock_() - start_);
    entry.sequence = ++last_;
    if (entries_.size() == capacity_) {
        entries_.pop_front();
    }
    entries_.push_back(std::move(entry));
}

std::vector<LineEntry> LineRecord::Since(std::uint64_t sequence) const {
    std::lock_guard lock(mutex_);
    if (entries_.empty() || sequence >= last_) {
        return {};
    }
    // The entries held carry consecutive sequences.
    const std::uint64_t first = entries_.front().sequence;
    const std::size_t skip = sequence < first ? 0 : static_cast<std::size_t>(sequence + 1 - first);
    return {entries_.begin() + static_cast<std::ptrdiff_t>(skip), entries_.end()};
}

// The entries held carry consecutive sequences, so those missing before the
// first one since the last Clear are the dropped ones.
std::vector<LineEntry> LineRecord::All(std::uint64_t& dropped) const {
    std::lock_guard lock(mutex_);
    dropped = entries_.empty() ? 0 : entries_.front().sequence - 1 - clearedAt_;
    return {entries_.begin(), entries_.end()};
}

void LineRecord::Clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
    clearedAt_ = last_;
}

}  // namespace vorlen
