#include "protocol/transaction.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace vorlen {

namespace {

enum class Verdict { Waiting, Accepted, Refused };

std::string_view WithoutLineEnd(std::string_view command) {
    while (!command.empty() && (command.back() == '\r' || command.back() == '\n')) {
        command.remove_suffix(1);
    }
    return command;
}

// The reply line by line; CR and LF both end a line, and no "OK" spans one.
// A tracker with echo on repeats the command first, so a line equal to the
// command, or an unfinished last line that is still the start of it, is the
// echo: an "OK" among the command's own arguments acknowledges nothing. What
// comes first decides, as the tracker sent it.
Verdict Judge(std::string_view reply, std::string_view commandLine) {
    for (std::size_t start = 0; start < reply.size();) {
        const std::size_t end = reply.find_first_of("\r\n", start);
        const bool finished = end != std::string_view::npos;
        const std::string_view line = reply.substr(start, finished ? end - start : reply.size());
        const bool echo = line == commandLine || (!finished && commandLine.starts_with(line));
        if (!echo && line.find(kSuccessToken) != std::string_view::npos) {
            return Verdict::Accepted;
        }
        if (finished && line == kRefusalLine) {
            return Verdict::Refused;
        }
        if (!finished) {
            break;
        }
        start = end + 1;
    }
    return Verdict::Waiting;
}

// What arrived before the command goes out (a late answer to a command that
// was given up on) belongs to no command. It is read away rather than purged
// so that the line monitor still shows it. A line that delivers faster than
// it is read is left after a reply buffer's worth; the transaction's own
// limits then end what follows.
void DiscardStaleInput(Port& port, char* scratch) {
    for (std::size_t discarded = 0; discarded < kReplyBufferSize;) {
        const std::size_t count = port.Read(scratch, kReadChunk);
        if (count == 0) {
            return;
        }
        discarded += count;
    }
}

}  // namespace

bool RunTransaction(Port* port, std::string_view command, std::string& reply,
                    const Pause& pause, std::stop_token stop) {
    // Nothing written would be acknowledged by nothing: an empty command
    // never reaches the polls.
    if (port == nullptr || command.empty()) {
        return false;
    }
    std::array<char, kReplyBufferSize> buffer{};
    DiscardStaleInput(*port, buffer.data());
    if (port->Write(command, stop) != command.size()) {
        return false;
    }

    // One byte always stays zero, so the buffer is a terminated text.
    constexpr std::size_t kRoom = kReplyBufferSize - 1;
    buffer.fill(0);
    const std::string_view commandLine = WithoutLineEnd(command);
    std::size_t fill = 0;
    int emptyPolls = 0;
    for (int polls = 0; polls < kPollLimit && emptyPolls < kEmptyPollLimit; ++polls) {
        if (!pause(kPollPause)) {
            return false;
        }
        const std::size_t arrived =
            port->Read(buffer.data() + fill, std::min(kReadChunk, kRoom - fill));
        if (arrived == 0) {
            ++emptyPolls;
            continue;
        }
        fill += std::min(arrived, kRoom - fill);
        reply.assign(buffer.data(), std::strlen(buffer.data()));
        if (const Verdict verdict = Judge(reply, commandLine); verdict != Verdict::Waiting) {
            return verdict == Verdict::Accepted;
        }
        // A reply that fills the buffer without an OK can never be accepted:
        // nothing more would be stored or searched.
        if (fill == kRoom) {
            return false;
        }
    }
    return false;
}

}  // namespace vorlen
