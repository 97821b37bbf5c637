// The record of the line: every write and every read that delivered bytes,
// newest last, for the line monitor and the provisioning trace. The wake-up
// worker appends on its own thread while the window's thread reads.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace vorlen {

enum class LineDirection { Written, Received };

struct LineEntry {
    std::uint64_t sequence = 0;  // 1 for the first entry ever appended; never reused
    std::chrono::milliseconds time{0};  // since the record was started
    LineDirection direction = LineDirection::Written;
    std::string bytes;           // at most LineRecord::kEntryBytes of them
    std::size_t notKept = 0;     // bytes beyond kEntryBytes that the record dropped
    std::size_t notWritten = 0;  // bytes of a write that the line did not take
};

class LineRecord {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // The newest few thousand entries of at most one read's worth each: a
    // flooding tracker costs at most about 4 MB.
    static constexpr std::size_t kEntries = 4096;
    static constexpr std::size_t kEntryBytes = 1024;

    explicit LineRecord(Clock clock = std::chrono::steady_clock::now, std::size_t entries = kEntries);

    // Appends the bytes (cut at kEntryBytes); the oldest entry goes when the
    // record is full. `notWritten` counts the bytes of a write that the line
    // did not take.
    void Append(LineDirection direction, std::string_view bytes, std::size_t notWritten = 0);

    // The entries appended after `sequence` that the record still holds, in
    // order. A reader passes the sequence of the last entry it has (0 at
    // first); a gap before the first one returned means entries were dropped.
    std::vector<LineEntry> Since(std::uint64_t sequence) const;

    // Every entry held, with the number of older ones that went to make
    // room since the record was started or last cleared, taken together.
    std::vector<LineEntry> All(std::uint64_t& dropped) const;

    std::size_t Capacity() const { return capacity_; }

    // Drops every entry; sequences and times go on from where they were.
    void Clear();

private:
    const Clock clock_;
    const std::chrono::steady_clock::time_point start_;
    const std::size_t capacity_;
    mutable std::mutex mutex_;
    std::deque<LineEntry> entries_;  // guarded by mutex_
    std::uint64_t last_ = 0;         // guarded by mutex_
    std::uint64_t clearedAt_ = 0;    // last_ at the latest Clear; guarded by mutex_
};

}  // namespace vorlen
