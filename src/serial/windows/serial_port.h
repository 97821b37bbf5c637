// The tracker's serial line on a Windows COM port: 115200 baud, 8N1, no flow
// control, DTR off and RTS on, reads that return at once, writes bounded in
// time, and the port held exclusively while it is open.
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
// ends a write that is waiting for the line at once (the port works with
// overlapped I/O, which Close cancels), and once closed the port answers
// every call like a closed handle: 0 written, 0 read. The handle is given
// back to the system only once, so a later call cannot reach a port that
// someone else has opened meanwhile under the same number. A transfer whose
// cancel the driver does not complete within kCancelBound (a USB adapter
// pulled out mid-write may never complete it) is left to the driver: the
// port is abandoned, closed like above, and nothing waits for it.
// A device that the system says is gone (the adapter pulled out) closes the
// port at once, so every later command fails at once instead of waiting out
// its write time-out.
class SerialPort : public Port {
public:
    // Asks the driver to end the transfer `io` (an OVERLAPPED) on `device`:
    // CancelIoEx, or a test's driver that never lets go.
    using CancelTransfer = void (*)(void* device, void* io);

    // Opens \\.\<name> (which also reaches COM10 and above) with the
    // tracker's line settings. Settings that the driver refuses are not an
    // error; a missing port or one held by another program is: the result is
    // null, and `why` says which.
    static std::shared_ptr<SerialPort> Open(const std::string& portName,
                                            std::chrono::milliseconds writeTimeout = kWriteTimeout,
                                            OpenFailure* why = nullptr,
                                            CancelTransfer cancel = nullptr);

    ~SerialPort() override;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    std::size_t Write(std::string_view bytes, std::stop_token stop) override;
    std::size_t Read(char* into, std::size_t room) override;
    void Close() override;
    bool Gone() const override { return gone_; }

private:
    using Handle = void*;  // a Win32 HANDLE, without <windows.h> in every includer
    struct Transfer;

    SerialPort(Handle device, Handle hold, Handle closed, std::unique_ptr<Transfer> transfer,
               std::chrono::milliseconds writeTimeout, CancelTransfer cancel);

    // Waits for the started transfer until it completes, Close is called,
    // the write's stop is requested or `bound` passes, cancelling it in all
    // but the first case; returns the bytes it moved (0 when the port had to
    // be abandoned).
    std::size_t Finish(std::chrono::milliseconds bound, std::stop_token stop);
    // One WriteFile of the bytes, finished within `bound` or the stop.
    std::size_t WriteOnce(std::string_view bytes, std::chrono::milliseconds bound,
                          std::stop_token stop);
    // Leaves the transfer under way to the driver and closes the port.
    void Abandon();
    void CloseDevice();
    // Closes the port when the failed call's error says the device is gone.
    // Called with mutex_ held.
    void CloseIfGone(unsigned long error, bool cancelledHere);

    std::mutex mutex_;
    Handle device_;  // INVALID_HANDLE_VALUE once closed; guarded by mutex_
    Handle hold_;    // the port's named hold, given back with the device
    const Handle closed_;  // set once by Close; lives as long as the object
    // The transfer's OVERLAPPED, event and bytes, which the driver may use
    // until the transfer ends; guarded by mutex_.
    std::unique_ptr<Transfer> transfer_;
    std::atomic<bool> closing_{false};
    std::atomic<bool> gone_{false};
    const std::chrono::milliseconds writeTimeout_;
    const CancelTransfer cancel_;
};

}  // namespace vorlen
