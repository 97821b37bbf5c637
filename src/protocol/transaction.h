// One command on the line: drop what arrived before it, write it, then poll
// until the tracker's own reply holds "OK" or a line "ERROR", the tracker has
// stayed silent for 50 polls, or the transaction has used its 100 polls.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "protocol/pause.h"
#include "protocol/port.h"

namespace vorlen {

inline constexpr std::chrono::milliseconds kPollPause{50};
inline constexpr std::size_t kReadChunk = 1024;
inline constexpr std::size_t kReplyBufferSize = 10240;
inline constexpr int kEmptyPollLimit = 50;
// Every transaction ends within 100 polls, about 5 s, even on a line that
// delivers a byte at every poll and never an OK.
inline constexpr int kPollLimit = 100;
inline constexpr std::string_view kSuccessToken = "OK";
inline constexpr std::string_view kRefusalLine = "ERROR";

// Returns true when the tracker's own reply contains "OK": the command's
// echo, a line equal to the command, never counts. A line "ERROR" before any
// OK ends it with false at once. `port` is null when no port is open; the
// write then fails at once, and so does an empty command. Whatever the
// tracker sent before the write belongs to no command and is read away
// first (a late answer to an earlier command must not acknowledge this one).
// `reply` receives everything received after the write up to the first zero
// byte, echo included, and is written only after a read that delivered
// data. A pause cut short by a stop request ends the transaction with false;
// `stop` also ends a write that waits for room on the line.
bool RunTransaction(Port* port, std::string_view command, std::string& reply,
                    const Pause& pause = RealPause(), std::stop_token stop = {});

}  // namespace vorlen
