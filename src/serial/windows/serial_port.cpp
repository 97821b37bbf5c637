#include "serial/windows/serial_port.h"

#include <windows.h>

#include <algorithm>
#include <initializer_list>

namespace vorlen {

namespace {

constexpr DWORD kQueueSize = 4096;
constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;

// The read time-outs make every read complete at once; this only bounds a
// driver that keeps one pending anyway, so a poll never hangs.
constexpr std::chrono::milliseconds kReadBound{100};

// How long a write waits before it tries again when the line took nothing.
constexpr std::chrono::milliseconds kRoomPause{10};

// A name per port for the hold below, in the session's namespace.
std::string HoldName(const std::string& portName) { return "Local\\vorlen-port-" + portName; }

// Raw 8N1 at 115200 with neither hardware nor software flow control, DTR held
// off and RTS held on. Every other field keeps the driver's value.
void ApplyLineSettings(DCB& settings) {
    settings.BaudRate = CBR_115200;
    settings.ByteSize = 8;
    settings.Parity = NOPARITY;
    settings.StopBits = ONESTOPBIT;
    settings.fBinary = TRUE;
    settings.fParity = FALSE;
    settings.fOutxCtsFlow = FALSE;
    settings.fOutxDsrFlow = FALSE;
    settings.fDtrControl = DTR_CONTROL_DISABLE;
    settings.fDsrSensitivity = FALSE;
    settings.fTXContinueOnXoff = FALSE;
    settings.fOutX = FALSE;
    settings.fInX = FALSE;
    settings.fErrorChar = FALSE;
    settings.fNull = FALSE;
    settings.fRtsControl = RTS_CONTROL_ENABLE;
    settings.fAbortOnError = FALSE;
    settings.XonChar = settings.XoffChar = settings.ErrorChar = settings.EofChar =
        settings.EvtChar = 0;
}

// Reads return at once with what has arrived, which the transaction's polling
// relies on; a write gives up after `writeTimeout`. What the driver refuses
// is left as it is.
void PrepareLine(HANDLE device, std::chrono::milliseconds writeTimeout) {
    DCB settings{};
    settings.DCBlength = sizeof settings;
    ::GetCommState(device, &settings);
    ::SetupComm(device, kQueueSize, kQueueSize);
    // A reply left over from an earlier session must not start the next one.
    ::PurgeComm(device, kPurgeAll);
    ApplyLineSettings(settings);
    ::SetCommState(device, &settings);
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.WriteTotalTimeoutConstant = static_cast<DWORD>(writeTimeout.count());
    ::SetCommTimeouts(device, &timeouts);
}

HANDLE ManualResetEvent() { return ::CreateEventA(nullptr, TRUE, FALSE, nullptr); }

void CloseAll(std::initializer_list<HANDLE> handles) {
    for (const HANDLE handle : handles) {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle);
        }
    }
}

}  // namespace

std::shared_ptr<SerialPort> SerialPort::Open(const std::string& portName,
                                             std::chrono::milliseconds writeTimeout) {
    // Windows' own serial drivers refuse a second open of a port, but not
    // every driver does (Wine's does not); the named hold keeps two opens of
    // this program, in one process or two, apart everywhere.
    const HANDLE hold = ::CreateMutexA(nullptr, FALSE, HoldName(portName).c_str());
    if (hold == nullptr || ::GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseAll({hold});
        return nullptr;
    }
    const std::string path = "\\\\.\\" + portName;
    // No sharing: a port that another program holds does not open.
    const HANDLE device = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    const HANDLE closed = ManualResetEvent();
    const HANDLE done = ManualResetEvent();
    if (device == INVALID_HANDLE_VALUE || closed == nullptr || done == nullptr) {
        CloseAll({hold, device, closed, done});
        return nullptr;
    }
    PrepareLine(device, writeTimeout);
    return std::shared_ptr<SerialPort>(new SerialPort(device, hold, closed, done, writeTimeout));
}

SerialPort::SerialPort(Handle device, Handle hold, Handle closed, Handle done,
                       std::chrono::milliseconds writeTimeout)
    : device_(device), hold_(hold), closed_(closed), done_(done), writeTimeout_(writeTimeout) {}

SerialPort::~SerialPort() {
    Close();
    ::CloseHandle(closed_);
    ::CloseHandle(done_);
}

std::size_t SerialPort::Finish(void* started, std::chrono::milliseconds bound) {
    auto* io = static_cast<OVERLAPPED*>(started);
    const HANDLE waited[] = {done_, closed_};
    const DWORD woken =
        ::WaitForMultipleObjects(2, waited, FALSE, static_cast<DWORD>(bound.count()));
    if (woken != WAIT_OBJECT_0) {
        ::CancelIoEx(device_, io);
    }
    DWORD moved = 0;
    // After a cancel the transfer ends with what it had moved until then.
    ::GetOverlappedResult(device_, io, &moved, TRUE);
    return moved;
}

std::size_t SerialPort::WriteOnce(std::string_view bytes, std::chrono::milliseconds bound) {
    OVERLAPPED io{};
    io.hEvent = done_;
    ::ResetEvent(done_);
    const auto size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), MAXDWORD));
    if (!::WriteFile(device_, bytes.data(), size, nullptr, &io) &&
        ::GetLastError() != ERROR_IO_PENDING) {
        return 0;
    }
    return Finish(&io, bound);
}

// Some drivers (Wine's on a pseudo-terminal among them) end a write with what
// fitted at once instead of waiting; the rest goes out as the line takes it,
// within the same time-out.
std::size_t SerialPort::Write(std::string_view bytes) {
    using std::chrono::milliseconds;
    std::lock_guard lock(mutex_);
    const auto deadline = std::chrono::steady_clock::now() + writeTimeout_;
    std::size_t written = 0;
    while (device_ != INVALID_HANDLE_VALUE && !closing_ && written < bytes.size()) {
        const auto left =
            std::chrono::ceil<milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left <= milliseconds::zero()) {
            break;
        }
        const std::size_t moved = WriteOnce(bytes.substr(written), left);
        written += moved;
        if (moved == 0 &&
            ::WaitForSingleObject(closed_, static_cast<DWORD>(std::min(left, kRoomPause).count())) ==
                WAIT_OBJECT_0) {
            break;
        }
    }
    return written;
}

std::size_t SerialPort::Read(char* into, std::size_t room) {
    std::lock_guard lock(mutex_);
    if (device_ == INVALID_HANDLE_VALUE || closing_ || room == 0) {
        return 0;
    }
    OVERLAPPED io{};
    io.hEvent = done_;
    ::ResetEvent(done_);
    const auto size = static_cast<DWORD>(std::min<std::size_t>(room, MAXDWORD));
    // A read error (the adapter was pulled) delivers nothing; the transaction
    // counts it as an empty poll.
    if (!::ReadFile(device_, into, size, nullptr, &io) && ::GetLastError() != ERROR_IO_PENDING) {
        return 0;
    }
    return Finish(&io, kReadBound);
}

void SerialPort::Close() {
    if (!closing_.exchange(true)) {
        // Ends a transfer that waits for the line, so it lets go of the lock.
        ::SetEvent(closed_);
    }
    std::lock_guard lock(mutex_);
    if (device_ != INVALID_HANDLE_VALUE) {
        CloseAll({device_, hold_});
        device_ = INVALID_HANDLE_VALUE;
    }
}

std::shared_ptr<SerialPort> OpenPort(const std::string& portName) {
    return SerialPort::Open(portName);
}

}  // namespace vorlen
