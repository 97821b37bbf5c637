#include "serial/posix/serial_port.h"

#include "serial/posix/open_error.h"

#include <cerrno>
#include <filesystem>
#include <cstdint>

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace vorlen {

namespace {

// Raw 8N1 at 115200 with neither hardware nor software flow control. VMIN 0
// and VTIME 0 make a read return at once with what has arrived, which the
// transaction's polling relies on.
void ApplyLineSettings(int device) {
    termios settings{};
    if (::tcgetattr(device, &settings) != 0) {
        return;
    }
    ::cfmakeraw(&settings);
    settings.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    settings.c_iflag &= ~(IXON | IXOFF | IXANY);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    ::cfsetispeed(&settings, B115200);
    ::cfsetospeed(&settings, B115200);
    ::tcsetattr(device, TCSANOW, &settings);
}

// DTR held off and RTS held on while the port is open. Pseudo-terminals have
// no modem lines and refuse both requests, which is fine.
void SetModemLines(int device) {
    int dtr = TIOCM_DTR;
    ::ioctl(device, TIOCMBIC, &dtr);
    int rts = TIOCM_RTS;
    ::ioctl(device, TIOCMBIS, &rts);
}

// TIOCEXCL keeps later opens out, but root passes it; the advisory lock is
// what keeps two copies of the tool (or another careful program) apart.
bool TakeExclusiveHold(int device) {
    if (::flock(device, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        return false;
    }
    ::ioctl(device, TIOCEXCL);
    return true;
}

// Writing 1 to an eventfd fails only when its counter would overflow.
void Signal(int eventDescriptor) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t signalled = ::write(eventDescriptor, &one, sizeof one);
}

void Drain(int eventDescriptor) {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t drained = ::read(eventDescriptor, &count, sizeof count);
}

// Tells the caller why the open failed, from `error` (an errno value).
std::shared_ptr<SerialPort> Refused(int error, const std::string& devicePath, OpenFailure* why) {
    if (why != nullptr) {
        *why = DescribeOpenError(error, devicePath);
    }
    return nullptr;
}

// The errors by which a tty says its device has gone: unplugged, or the far
// end of a pseudo-terminal closed.
bool MeansGone(int error) { return error == EIO || error == ENODEV || error == ENXIO; }

bool LineHungUp(int device) {
    // POLLHUP and POLLERR are reported whatever is asked for.
    pollfd line{device, 0, 0};
    return ::poll(&line, 1, 0) > 0 && (line.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

}  // namespace

std::shared_ptr<SerialPort> SerialPort::Open(const std::string& devicePath,
                                             std::chrono::milliseconds writeTimeout,
                                             OpenFailure* why) {
    const int device = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (device < 0) {
        return Refused(errno, devicePath, why);
    }
    if (!TakeExclusiveHold(device)) {
        ::close(device);
        return Refused(EWOULDBLOCK, devicePath, why);
    }
    const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0) {
        const int error = errno;
        ::ioctl(device, TIOCNXCL);
        ::close(device);
        return Refused(error, devicePath, why);
    }
    ApplyLineSettings(device);
    SetModemLines(device);
    // A reply left over from an earlier session must not start the next one.
    ::tcflush(device, TCIOFLUSH);
    return std::shared_ptr<SerialPort>(new SerialPort(device, wake, writeTimeout));
}

SerialPort::SerialPort(int device, int wake, std::chrono::milliseconds writeTimeout)
    : device_(device), wake_(wake), writeTimeout_(writeTimeout) {}

SerialPort::~SerialPort() {
    Close();
    ::close(wake_);
}

std::size_t SerialPort::Write(std::string_view bytes, std::stop_token stop) {
    std::lock_guard lock(mutex_);
    const std::stop_callback interrupt(stop, [this] { Signal(wake_); });
    const auto deadline = std::chrono::steady_clock::now() + writeTimeout_;
    std::size_t written = 0;
    while (device_ >= 0 && !closing_ && !stop.stop_requested() && written < bytes.size()) {
        const ssize_t count = ::write(device_, bytes.data() + written, bytes.size() - written);
        if (count > 0) {
            written += static_cast<std::size_t>(count);
        } else if (count < 0 && errno == EINTR) {
            continue;
        } else if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!WaitForRoom(deadline, stop)) {
                CloseIfGone(0);
                break;
            }
        } else {
            CloseIfGone(count < 0 ? errno : 0);
            break;
        }
    }
    return written;
}

bool SerialPort::WaitForRoom(std::chrono::steady_clock::time_point deadline,
                             const std::stop_token& stop) {
    using std::chrono::milliseconds;
    for (;;) {
        if (closing_ || stop.stop_requested()) {
            return false;
        }
        const auto left =
            std::chrono::ceil<milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left <= milliseconds::zero()) {
            return false;
        }
        pollfd watched[] = {{device_, POLLOUT, 0}, {wake_, POLLIN, 0}};
        const int ready = ::poll(watched, 2, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return false;
        }
        if (watched[1].revents != 0) {
            // Close leaves the signal for every later wait; a stop of this
            // or an earlier write is used up here and looked at above.
            if (!closing_) {
                Drain(wake_);
            }
            continue;
        }
        // The other side hung up, or the line failed: nothing more will go out.
        return (watched[0].revents & (POLLHUP | POLLERR | POLLNVAL)) == 0;
    }
}

std::size_t SerialPort::Read(char* into, std::size_t room) {
    std::lock_guard lock(mutex_);
    if (device_ < 0 || closing_ || room == 0) {
        return 0;
    }
    for (;;) {
        const ssize_t count = ::read(device_, into, room);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count > 0) {
            return static_cast<std::size_t>(count);
        }
        // Nothing has arrived, or the device has gone; either way the
        // transaction counts an empty poll, and once gone the next command's
        // write fails at once.
        CloseIfGone(count < 0 ? errno : 0);
        return 0;
    }
}

void SerialPort::CloseIfGone(int error) {
    if (device_ >= 0 && (MeansGone(error) || LineHungUp(device_))) {
        CloseDevice();
        gone_ = true;
    }
}

void SerialPort::CloseDevice() {
    if (device_ < 0) {
        return;
    }
    // Unsent output would hold close() until the device has taken it: up to
    // the driver's closing time (30 s for most USB adapters) when it stalls.
    ::tcflush(device_, TCOFLUSH);
    // The exclusive flag stays on the tty while anyone else holds it open
    // (the simulator does); clear it so the port can be opened again.
    ::ioctl(device_, TIOCNXCL);
    ::close(device_);
    device_ = -1;
}

void SerialPort::Close() {
    if (!closing_.exchange(true)) {
        // Wakes a write that waits for room, so it lets go of the lock at once.
        Signal(wake_);
    }
    std::lock_guard lock(mutex_);
    CloseDevice();
}

std::shared_ptr<Port> OpenPort(const std::string& portName, OpenFailure* why) {
    // The Windows build opens "\\.\" followed by the name; here the name is
    // already the device path.
    return SerialPort::Open(portName, kWriteTimeout, why);
}

bool PortExists(const std::string& portName) {
    std::error_code error;
    return std::filesystem::exists(portName, error);
}

}  // namespace vorlen
