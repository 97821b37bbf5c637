#include "line_server.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <system_error>

#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace vorlen::sim {

namespace {

constexpr std::size_t kChunkSize = 3;  // small enough to split "\r\nOK\r\n" between "O" and "K"
constexpr std::chrono::milliseconds kChunkPause{60};  // longer than the tool's 50 ms poll
constexpr std::chrono::milliseconds kFloodPause{10};
constexpr std::string_view kFloodLine =
    "0123456789012345678901234567890123456789012345678901234567890123\r\n";
constexpr std::size_t kFloodLines = 16;  // about 100 kB a second
// Shorter than the tool's poll, so that every poll finds a byte.
constexpr std::chrono::milliseconds kTricklePause{40};
// A line that never ends is taken as a command once it is this long.
constexpr std::size_t kLongestLine = 4096;

}  // namespace

LineServer::LineServer(int terminal, Tracker& tracker, CommandLog& log, LineTraits traits)
    : terminal_(terminal), tracker_(tracker), log_(log), traits_(traits) {}

void LineServer::Run(int signals) {
    for (;;) {
        SendDue(Clock::now());
        const short wanted = static_cast<short>(POLLIN | (output_.empty() ? 0 : POLLOUT));
        pollfd watched[] = {{terminal_, wanted, 0}, {signals, POLLIN, 0}};
        if (::poll(watched, 2, MillisecondsToWait(Clock::now())) < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw std::system_error(errno, std::generic_category(), "poll");
        }
        if (watched[1].revents != 0 && !TakeSignal(signals)) {
            return;
        }
        if ((watched[0].revents & POLLIN) != 0) {
            TakeInput(Clock::now());
        }
    }
}

// True when the signal was the swap: the old tracker's unanswered commands
// and answers not yet sent leave with it. Any other signal stops the server.
bool LineServer::TakeSignal(int signals) {
    signalfd_siginfo signal{};
    if (::read(signals, &signal, sizeof signal) != static_cast<ssize_t>(sizeof signal) ||
        static_cast<int>(signal.ssi_signo) != kSwapSignal) {
        return false;
    }
    tracker_.Replace();
    input_.clear();
    pending_.clear();
    output_.clear();
    return true;
}

void LineServer::TakeInput(Clock::time_point now) {
    std::array<char, 4096> buffer;
    ssize_t count = 0;
    while ((count = ::read(terminal_, buffer.data(), buffer.size())) > 0 ||
           (count < 0 && errno == EINTR)) {
        input_.append(buffer.data(), static_cast<std::size_t>(std::max<ssize_t>(count, 0)));
    }
    // A command line ends with a line feed; the carriage return before it
    // belongs to the line end too.
    for (std::size_t end = input_.find('\n'); end != std::string::npos; end = input_.find('\n')) {
        std::string_view line(input_.data(), end);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (!line.empty()) {
            HandleLine(line, now);
        }
        input_.erase(0, end + 1);
    }
    if (input_.size() >= kLongestLine) {
        HandleLine(input_, now);
        input_.clear();
    }
}

void LineServer::HandleLine(std::string_view line, Clock::time_point now) {
    log_.Record(line);
    if (traits_.flood || traits_.trickle) {
        if (!nextNoise_) {
            nextNoise_ = now;
        }
        return;
    }
    if (traits_.silent) {
        return;
    }
    const std::string answer = tracker_.Answer(line, now);
    if (!answer.empty()) {
        Schedule(answer, now + tracker_.Lateness(line));
    }
}

// The pending answers stay in the order they fall due, so an answer held back
// by --late lets the answers to later commands go first.
void LineServer::Schedule(const std::string& answer, Clock::time_point due) {
    if (!traits_.chunked) {
        const auto later = std::upper_bound(pending_.begin(), pending_.end(), due,
                                            [](Clock::time_point t, const Piece& p) { return t < p.due; });
        pending_.insert(later, {due, answer});
        return;
    }
    due = pending_.empty() ? due : std::max(due, pending_.back().due + kChunkPause);
    for (std::size_t start = 0; start < answer.size(); start += kChunkSize) {
        pending_.push_back({due, answer.substr(start, kChunkSize)});
        due += kChunkPause;
    }
}

void LineServer::SendDue(Clock::time_point now) {
    while (!pending_.empty() && pending_.front().due <= now) {
        output_ += pending_.front().bytes;
        pending_.pop_front();
    }
    AddNoise(now);
    while (!output_.empty()) {
        const ssize_t count = ::write(terminal_, output_.data(), output_.size());
        if (count > 0) {
            output_.erase(0, static_cast<std::size_t>(count));
        } else if (count < 0 && errno == EINTR) {
            continue;
        } else {
            // Full (the poll waits for room) or failed (nothing can be delivered).
            if (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
                output_.clear();
            }
            return;
        }
    }
}

// The flood is topped up to a fixed amount, so it goes out only as fast as
// the terminal takes it; the trickle adds one digit at a time.
void LineServer::AddNoise(Clock::time_point now) {
    if (!nextNoise_ || *nextNoise_ > now) {
        return;
    }
    if (traits_.flood) {
        while (output_.size() < kFloodLine.size() * kFloodLines) {
            output_ += kFloodLine;
        }
        nextNoise_ = now + kFloodPause;
    } else {
        output_ += kFloodLine[trickled_++ % 10];
        nextNoise_ = now + kTricklePause;
    }
}

int LineServer::MillisecondsToWait(Clock::time_point now) const {
    std::optional<Clock::time_point> next = nextNoise_;
    if (!pending_.empty() && (!next || pending_.front().due < *next)) {
        next = pending_.front().due;
    }
    if (!next) {
        return -1;
    }
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - now);
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(wait.count(), 0));
}

}  // namespace vorlen::sim
