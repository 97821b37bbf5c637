#include "protocol/transaction.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace vorlen {

bool RunTransaction(Port* port, std::string_view command, std::string& reply,
                    const Pause& pause, std::stop_token stop) {
    // Nothing written would be acknowledged by nothing: an empty command
    // never reaches the polls.
    if (port == nullptr || command.empty() || port->Write(command, stop) != command.size()) {
        return false;
    }

    // One byte always stays zero, so the buffer is a terminated text.
    constexpr std::size_t kRoom = kReplyBufferSize - 1;
    std::array<char, kReplyBufferSize> buffer{};
    std::size_t fill = 0;
    int emptyPolls = 0;
    while (emptyPolls < kEmptyPollLimit) {
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
        if (reply.find(kSuccessToken) != std::string::npos) {
            return true;
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
