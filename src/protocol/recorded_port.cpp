#include "protocol/recorded_port.h"

#include <algorithm>

namespace vorlen {

RecordedPort::RecordedPort(std::shared_ptr<Port> line, LineRecord& record)
    : line_(std::move(line)), record_(record) {}

// The line's own counts go back unchanged; only the record is held to what
// the call could have moved.
std::size_t RecordedPort::Write(std::string_view bytes, std::stop_token stop) {
    const std::size_t written = line_->Write(bytes, stop);
    if (!bytes.empty()) {
        const std::size_t took = std::min(written, bytes.size());
        record_.Append(LineDirection::Written, bytes.substr(0, took), bytes.size() - took);
    }
    return written;
}

std::size_t RecordedPort::Read(char* into, std::size_t room) {
    const std::size_t count = line_->Read(into, room);
    if (count > 0) {
        record_.Append(LineDirection::Received, {into, std::min(count, room)});
    }
    return count;
}

void RecordedPort::Close() { line_->Close(); }

}  // namespace vorlen
