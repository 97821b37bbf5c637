// One command on the line: write it, then poll until the reply holds "OK"
// or the tracker has stayed silent for 50 polls.
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
inline constexpr std::string_view kSuccessToken = "OK";

// Returns true when the accumulated reply contains "OK". `port` is null when
// no port is open; the write then fails at once, and so does an empty
// command. `reply` receives everything received up to the first zero byte,
// and is written only after a read that delivered data. A pause cut short by
// a stop request ends the transaction with false; `stop` also ends a write
// that waits for room on the line.
bool RunTransaction(Port* port, std::string_view command, std::string& reply,
                    const Pause& pause = RealPause(), std::stop_token stop = {});

}  // namespace vorlen
