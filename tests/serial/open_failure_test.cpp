// Why a port does not open, on real device nodes and pseudo-terminals.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include "serial/posix/open_error.h"
#include "serial/posix/serial_port.h"

namespace vorlen {
namespace {

TEST(DescribeOpenError, SortsTheSystemErrorIntoWhatTheOperatorCanDo) {
    const struct {
        int error;
        OpenFailureKind kind;
        const char* systemText;
    } cases[] = {
        {EACCES, OpenFailureKind::NoPermission, "Permission denied"},
        {EPERM, OpenFailureKind::NoPermission, "Operation not permitted"},
        {EBUSY, OpenFailureKind::InUse, "Device or resource busy"},
        {EWOULDBLOCK, OpenFailureKind::InUse, "Resource temporarily unavailable"},
        {ENOENT, OpenFailureKind::NoDevice, "No such file or directory"},
        {ENODEV, OpenFailureKind::NoDevice, "No such device"},
        {ENXIO, OpenFailureKind::NoDevice, "No such device or address"},
        {EIO, OpenFailureKind::Other, "Input/output error"},
        {EMFILE, OpenFailureKind::Other, "Too many open files"},
    };
    for (const auto& c : cases) {
        const OpenFailure why = DescribeOpenError(c.error, "/dev/null");
        EXPECT_EQ(why.kind, c.kind) << c.systemText;
        EXPECT_EQ(why.systemText, c.systemText);
        // Only a permission problem is solved by a group.
        EXPECT_EQ(why.group, c.kind == OpenFailureKind::NoPermission ? "root" : "") << c.systemText;
    }
    EXPECT_EQ(DescribeOpenError(EACCES, "/nonexistent/ttyUSB0").group, "");
}

TEST(DescribeOpenError, NamesTheGroupOnlyWhenItsMembersMayUseTheDevice) {
    char node[] = "/tmp/vorlen-node-XXXXXX";
    const int file = ::mkstemp(node);
    ASSERT_GE(file, 0);
    ::close(file);
    const group* own = ::getgrgid(::getegid());
    ASSERT_NE(own, nullptr);
    const std::string ownGroup = own->gr_name;
    const struct {
        mode_t mode;
        std::string group;
    } cases[] = {{0660, ownGroup}, {0600, ""}, {0640, ""}, {0666, ownGroup}};
    for (const auto& c : cases) {
        ASSERT_EQ(::chmod(node, c.mode), 0);
        EXPECT_EQ(DescribeOpenError(EACCES, node).group, c.group) << std::oct << c.mode;
    }
    ::unlink(node);
}

// A pseudo-terminal's device side; the test holds the far end.
class Terminal {
public:
    Terminal() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
            ADD_FAILURE() << "no pseudo-terminal";
            return;
        }
        path_ = ::ptsname(master_);
    }
    ~Terminal() { Remove(); }
    const std::string& path() const { return path_; }
    // Closing the far end removes the device node, like an unplugged adapter.
    void Remove() {
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }

private:
    int master_ = -1;
    std::string path_;
};

TEST(OpenFailure, AMissingOrVanishedDeviceIsNoDevice) {
    Terminal vanished;
    const std::string gone = vanished.path();
    vanished.Remove();
    for (const std::string& path : {std::string("/nonexistent/ttyUSB0"), gone, std::string()}) {
        OpenFailure why;
        EXPECT_EQ(OpenPort(path, &why), nullptr) << path;
        EXPECT_EQ(why.kind, OpenFailureKind::NoDevice) << path;
        EXPECT_EQ(why.systemText, "No such file or directory") << path;
    }
}

TEST(OpenFailure, APortHeldByAnotherOpenIsInUse) {
    Terminal terminal;
    const auto holder = OpenPort(terminal.path());
    ASSERT_NE(holder, nullptr);
    OpenFailure why;
    EXPECT_EQ(OpenPort(terminal.path(), &why), nullptr);
    EXPECT_EQ(why.kind, OpenFailureKind::InUse);
    EXPECT_FALSE(why.systemText.empty());
}

TEST(OpenFailure, AUserOutsideTheDevicesGroupHasNoPermissionAndIsToldTheGroup) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to hand the device to a group and to become another user";
    }
    const group* dialout = ::getgrnam("dialout");
    if (dialout == nullptr) {
        GTEST_SKIP() << "no dialout group on this machine";
    }
    Terminal terminal;
    // Owned by root and the dialout group, as udev leaves a USB adapter.
    ASSERT_EQ(::chown(terminal.path().c_str(), 0, dialout->gr_gid), 0);
    ASSERT_EQ(::chmod(terminal.path().c_str(), 0660), 0);

    // A child process becomes nobody (not in dialout) and reports through a
    // pipe what it was told.
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(report[0]);
        constexpr uid_t kNobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
            ::_exit(2);
        }
        OpenFailure why;
        const bool opened = OpenPort(terminal.path(), &why) != nullptr;
        const std::string told = std::to_string(static_cast<int>(why.kind)) + ' ' + why.group;
        const bool sent = ::write(report[1], told.data(), told.size()) ==
                          static_cast<ssize_t>(told.size());
        ::_exit(opened || !sent ? 1 : 0);
    }
    ::close(report[1]);
    char buffer[256] = {};
    const ssize_t length = ::read(report[0], buffer, sizeof buffer - 1);
    ::close(report[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_NE(WEXITSTATUS(status), 2) << "could not become nobody";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "nobody opened the port";
    ASSERT_GT(length, 0);
    EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(length)),
              std::to_string(static_cast<int>(OpenFailureKind::NoPermission)) + " dialout");
}

}  // namespace
}  // namespace vorlen
