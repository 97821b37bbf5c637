#include "serial/windows/serial_port.h"

#include <windows.h>

#include <algorithm>
#include <initializer_list>
#include <string>

#include "protocol/pause.h"
#include "serial/removed_device.h"

namespace vorlen {

namespace {

constexpr DWORD kQueueSize = 4096;
constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;

// The read time-outs make every read complete at once; this only bounds a
// driver that keeps one pending anyway, so a poll never hangs.
constexpr std::chrono::milliseconds kReadBound{100};

// How long a write waits before it tries again when the line took nothing.
constexpr std::chrono::milliseconds kRoomPause{10};

// How long a cancelled transfer may take to end before the port is given up.
constexpr DWORD kCancelBoundMs = 500;

void CancelWithTheDriver(void* device, void* io) {
    ::CancelIoEx(static_cast<HANDLE>(device), static_cast<OVERLAPPED*>(io));
}

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

// The system's own text for an error, as GBK bytes like every text of the form.
std::string SystemText(DWORD error) {
    wchar_t* message = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    std::string text;
    if (length > 0) {
        const int size = ::WideCharToMultiByte(936, 0, message, static_cast<int>(length), nullptr, 0,
                                               nullptr, nullptr);
        text.resize(static_cast<std::size_t>(std::max(size, 0)));
        ::WideCharToMultiByte(936, 0, message, static_cast<int>(length), text.data(), size,
                              nullptr, nullptr);
    }
    ::LocalFree(message);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return text.empty() ? "error " + std::to_string(error) : text;
}

// Windows answers "access denied" for a port that another program has open.
OpenFailureKind KindOf(DWORD error) {
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_ALREADY_EXISTS:
        return OpenFailureKind::InUse;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_UNIT:
    case ERROR_DEV_NOT_EXIST:
        return OpenFailureKind::NoDevice;
    default:
        return OpenFailureKind::Other;
    }
}

std::shared_ptr<SerialPort> Refused(DWORD error, OpenFailure* why) {
    if (why != nullptr) {
        *why = {KindOf(error), SystemText(error), ""};
    }
    return nullptr;
}

void CloseAll(std::initializer_list<HANDLE> handles) {
    for (const HANDLE handle : handles) {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle);
        }
    }
}

}  // namespace

// Lives on the heap so that a transfer the driver never ends can be left to
// it, with the event it will signal and the bytes it may still touch.
struct SerialPort::Transfer {
    explicit Transfer(HANDLE done) { io.hEvent = done; }
    ~Transfer() { CloseAll({io.hEvent}); }
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    void Start() {
        const HANDLE done = io.hEvent;
        io = OVERLAPPED{};
        io.hEvent = done;
        ::ResetEvent(done);
    }

    OVERLAPPED io{};
    std::string bytes;  // what goes out, or room for what comes in
};

std::shared_ptr<SerialPort> SerialPort::Open(const std::string& portName,
                                             std::chrono::milliseconds writeTimeout,
                                             OpenFailure* why, CancelTransfer cancel) {
    // Windows' own serial drivers refuse a second open of a port, but not
    // every driver does (Wine's does not); the named hold keeps two opens of
    // this program, in one process or two, apart everywhere.
    const HANDLE hold = ::CreateMutexA(nullptr, FALSE, HoldName(portName).c_str());
    if (hold == nullptr || ::GetLastError() == ERROR_ALREADY_EXISTS) {
        const DWORD error = hold == nullptr ? ::GetLastError() : ERROR_ALREADY_EXISTS;
        CloseAll({hold});
        return Refused(error, why);
    }
    const std::string path = "\\\\.\\" + portName;
    // No sharing: a port that another program holds does not open.
    const HANDLE device = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    const DWORD error = ::GetLastError();
    const HANDLE closed = ManualResetEvent();
    const HANDLE done = ManualResetEvent();
    if (device == INVALID_HANDLE_VALUE || closed == nullptr || done == nullptr) {
        CloseAll({hold, device, closed, done});
        return Refused(device == INVALID_HANDLE_VALUE ? error : ::GetLastError(), why);
    }
    PrepareLine(device, writeTimeout);
    return std::shared_ptr<SerialPort>(
        new SerialPort(device, hold, closed, std::make_unique<Transfer>(done), writeTimeout,
                       cancel == nullptr ? CancelWithTheDriver : cancel));
}

SerialPort::SerialPort(Handle device, Handle hold, Handle closed,
                       std::unique_ptr<Transfer> transfer, std::chrono::milliseconds writeTimeout,
                       CancelTransfer cancel)
    : device_(device),
      hold_(hold),
      closed_(closed),
      transfer_(std::move(transfer)),
      writeTimeout_(writeTimeout),
      cancel_(cancel) {}

SerialPort::~SerialPort() {
    Close();
    CloseAll({closed_});
}

std::size_t SerialPort::Finish(std::chrono::milliseconds bound, std::stop_token stop) {
    using std::chrono::milliseconds;
    OVERLAPPED* io = &transfer_->io;
    const HANDLE waited[] = {io->hEvent, closed_};
    const auto deadline = std::chrono::steady_clock::now() + bound;
    DWORD woken = WAIT_TIMEOUT;
    // The stop is looked at between short waits: see StoppablePause for why
    // no stop callback sets an event here.
    for (milliseconds left = bound; woken == WAIT_TIMEOUT && left > milliseconds::zero() &&
                                    !stop.stop_requested();
         left = std::chrono::ceil<milliseconds>(deadline - std::chrono::steady_clock::now())) {
        woken = ::WaitForMultipleObjects(2, waited, FALSE,
                                         static_cast<DWORD>(std::min(left, kStopCheck).count()));
    }
    if (woken != WAIT_OBJECT_0) {
        cancel_(device_, io);
        if (::WaitForSingleObject(io->hEvent, kCancelBoundMs) != WAIT_OBJECT_0) {
            Abandon();
            return 0;
        }
    }
    DWORD moved = 0;
    // After a cancel the transfer ends with what it had moved until then.
    if (!::GetOverlappedResult(device_, io, &moved, FALSE)) {
        CloseIfGone(::GetLastError(), woken != WAIT_OBJECT_0);
    }
    return moved;
}

// The driver may still complete the transfer into its OVERLAPPED and bytes,
// and signal its event, at any later time: they are never freed.
void SerialPort::Abandon() {
    static_cast<void>(transfer_.release());
    CloseDevice();
}

std::size_t SerialPort::WriteOnce(std::string_view bytes, std::chrono::milliseconds bound,
                                  std::stop_token stop) {
    transfer_->Start();
    const auto size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), MAXDWORD));
    transfer_->bytes.assign(bytes.substr(0, size));
    if (!::WriteFile(device_, transfer_->bytes.data(), size, nullptr, &transfer_->io) &&
        ::GetLastError() != ERROR_IO_PENDING) {
        CloseIfGone(::GetLastError(), false);
        return 0;
    }
    return Finish(bound, stop);
}

// Some drivers (Wine's on a pseudo-terminal among them) end a write with what
// fitted at once instead of waiting; the rest goes out as the line takes it,
// within the same time-out.
std::size_t SerialPort::Write(std::string_view bytes, std::stop_token stop) {
    using std::chrono::milliseconds;
    std::lock_guard lock(mutex_);
    const auto deadline = std::chrono::steady_clock::now() + writeTimeout_;
    std::size_t written = 0;
    while (device_ != INVALID_HANDLE_VALUE && !closing_ && !stop.stop_requested() &&
           written < bytes.size()) {
        const auto left =
            std::chrono::ceil<milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left <= milliseconds::zero()) {
            break;
        }
        const std::size_t moved = WriteOnce(bytes.substr(written), left, stop);
        written += moved;
        if (moved == 0 && ::WaitForSingleObject(
                              closed_, static_cast<DWORD>(std::min(left, kRoomPause).count())) !=
                              WAIT_TIMEOUT) {
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
    transfer_->Start();
    const auto size = static_cast<DWORD>(std::min<std::size_t>(room, MAXDWORD));
    transfer_->bytes.resize(size);
    // A read error (the adapter was pulled) delivers nothing; the transaction
    // counts it as an empty poll, and the next command fails at once.
    if (!::ReadFile(device_, transfer_->bytes.data(), size, nullptr, &transfer_->io) &&
        ::GetLastError() != ERROR_IO_PENDING) {
        CloseIfGone(::GetLastError(), false);
        return 0;
    }
    const std::size_t moved = std::min<std::size_t>(Finish(kReadBound, {}), size);
    // An abandoned transfer is the driver's now, bytes and all.
    if (transfer_ != nullptr) {
        transfer_->bytes.copy(into, moved);
    }
    return transfer_ != nullptr ? moved : 0;
}

void SerialPort::CloseDevice() {
    if (device_ != INVALID_HANDLE_VALUE) {
        CloseAll({device_, hold_});
        device_ = INVALID_HANDLE_VALUE;
    }
}

void SerialPort::CloseIfGone(unsigned long error, bool cancelledHere) {
    if (device_ != INVALID_HANDLE_VALUE && MeansDeviceRemoved(error, cancelledHere)) {
        CloseDevice();
        gone_ = true;
    }
}

void SerialPort::Close() {
    if (!closing_.exchange(true)) {
        // Ends a transfer that waits for the line, so it lets go of the lock.
        ::SetEvent(closed_);
    }
    std::lock_guard lock(mutex_);
    CloseDevice();
}

std::shared_ptr<Port> OpenPort(const std::string& portName, OpenFailure* why) {
    return SerialPort::Open(portName, kWriteTimeout, why);
}

bool PortExists(const std::string& portName) {
    char target[512];
    return ::QueryDosDeviceA(portName.c_str(), target, sizeof target) != 0;
}

}  // namespace vorlen
