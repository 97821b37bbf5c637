// The serial line as the protocol sees it. The real one is a tty; tests use
// scripted fakes.
#pragma once

#include <cstddef>
#include <stop_token>
#include <string_view>

namespace vorlen {

class Port {
public:
    virtual ~Port() = default;

    // Writes the whole command, or as much as the line takes within its write
    // time-out; returns the number of bytes written (0 on failure). A write
    // waiting for room on the line gives up at once when `stop` is requested,
    // so nothing more of it goes out.
    virtual std::size_t Write(std::string_view bytes, std::stop_token stop) = 0;

    // Returns at once with at most `room` bytes that have already arrived,
    // possibly none. A read error delivers 0.
    virtual std::size_t Read(char* into, std::size_t room) = 0;

    // Releases the line; every later call fails like a closed handle.
    virtual void Close() = 0;

    // True once the system has said that the device is gone (the adapter
    // was pulled out): the port has closed itself, and the operator has to
    // plug it in and pick it again.
    virtual bool Gone() const { return false; }
};

}  // namespace vorlen
