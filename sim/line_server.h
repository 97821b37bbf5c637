// The simulated tracker's event loop: commands in from the terminal, answers
// out, each within a millisecond of its line's end (or of its lateness). Nothing sleeps; the loop
// waits in poll for input, for the terminal to take more, for the next piece
// of a chunked answer or for a stop signal.
#pragma once

#include <chrono>
#include <csignal>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "command_log.h"
#include "tracker.h"

namespace vorlen::sim {

// Takes the tracker out and plugs another one in behind the same terminal.
inline constexpr int kSwapSignal = SIGUSR1;

struct LineTraits {
    bool silent = false;   // answer nothing
    bool chunked = false;  // answers in small pieces with pauses between them
    bool flood = false;    // after the first command, send bytes without end and never OK
    bool trickle = false;  // after the first command, send a byte every 40 ms and never OK
};

class LineServer {
public:
    using Clock = std::chrono::steady_clock;

    LineServer(int terminal, Tracker& tracker, CommandLog& log, LineTraits traits);

    // Serves until `signals` (a signalfd) delivers a signal other than
    // kSwapSignal; kSwapSignal puts a new tracker behind the terminal. Throws
    // std::system_error when polling fails.
    void Run(int signals);

private:
    struct Piece {
        Clock::time_point due;
        std::string bytes;
    };

    bool TakeSignal(int signals);
    void TakeInput(Clock::time_point now);
    void HandleLine(std::string_view line, Clock::time_point now);
    void Schedule(const std::string& answer, Clock::time_point due);
    void SendDue(Clock::time_point now);
    void AddNoise(Clock::time_point now);
    int MillisecondsToWait(Clock::time_point now) const;

    const int terminal_;
    Tracker& tracker_;
    CommandLog& log_;
    const LineTraits traits_;
    std::string input_;            // the start of a command line still without its end
    std::deque<Piece> pending_;    // answers, or their pieces, not yet due
    std::string output_;           // due bytes that the terminal has not taken yet
    std::optional<Clock::time_point> nextNoise_;  // when the flood or trickle goes on
    std::size_t trickled_ = 0;
};

}  // namespace vorlen::sim
