// The tracker's serial line on a POSIX tty: 115200 baud, 8N1, no flow
// control, DTR off and RTS on, reads that return at once, writes bounded in
// time, and nobody else on the device while it is open.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>

#include "protocol/port.h"
#include "serial/open_failure.h"
#include "serial/open_port.h"

namespace vorlen {

// A write that the line does not take within this time returns short.
inline constexpr std::chrono::milliseconds kWriteTimeout{2000};

// The window's thread may close or replace the port while the wake-up worker
// is in the middle of a transaction on it. So every call is serialised, Close
// wakes a write that is waiting for room on the line, and once closed the
// port answers every call like a closed handle: 0 written, 0 read. A device
// that disappears while open (unplugged, or the far end of a pseudo-terminal
// closed) closes the port at once, so every later command fails at once.
class SerialPort : public Port {
public:
    // Opens the device with the tracker's line settings. Settings that the
    // device refuses (a pseudo-terminal has no modem lines) are not an error;
    // a missing device or one held by another program is: the result is null,
    // and `why` (when given) tells the reason.
    static std::shared_ptr<SerialPort> Open(const std::string& devicePath,
                                            std::chrono::milliseconds writeTimeout = kWriteTimeout,
                                            OpenFailure* why = nullptr);

    ~SerialPort() override;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    std::size_t Write(std::string_view bytes, std::stop_token stop) override;
    std::size_t Read(char* into, std::size_t room) override;
    // Discards what the line has not sent yet, so closing never waits for a
    // stalled device to drain.
    void Close() override;
    bool Gone() const override { return gone_; }

private:
    SerialPort(int device, int wake, std::chrono::milliseconds writeTimeout);

    // Waits until the line takes more bytes. False on time-out, a hang-up or
    // an error of the line, when Close has been called, or when `stop` is
    // requested.
    bool WaitForRoom(std::chrono::steady_clock::time_point deadline, const std::stop_token& stop);

    // Closes the port when the last call's error (an errno value, 0 for
    // none), or the line's state, says the device is gone. Called with
    // mutex_ held.
    void CloseIfGone(int error);
    void CloseDevice();

    std::mutex mutex_;
    int device_;                     // -1 once closed; guarded by mutex_
    const int wake_;                 // signalled by Close and by a write's stop; lives as long as the object
    std::atomic<bool> closing_{false};
    std::atomic<bool> gone_{false};
    const std::chrono::milliseconds writeTimeout_;
};

}  // namespace vorlen
