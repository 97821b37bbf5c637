#include "pseudo_terminal.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <system_error>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace vorlen::sim {

namespace {

[[noreturn]] void Fail(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

// Raw from the start: with the terminal's default echo, our own answers
// would come straight back to us as commands before the tool sets the line.
void MakeRaw(int terminal) {
    termios settings{};
    if (::tcgetattr(terminal, &settings) != 0) {
        Fail("tcgetattr");
    }
    ::cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    ::cfsetispeed(&settings, B115200);
    ::cfsetospeed(&settings, B115200);
    if (::tcsetattr(terminal, TCSANOW, &settings) != 0) {
        Fail("tcsetattr");
    }
}

}  // namespace

PseudoTerminal::PseudoTerminal() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) {
        Fail("posix_openpt");
    }
    std::array<char, 128> name{};
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
        ::ptsname_r(master_, name.data(), name.size()) != 0 ||
        ::fcntl(master_, F_SETFL, O_NONBLOCK) != 0) {
        const int error = errno;
        ::close(master_);
        errno = error;
        Fail("pseudo-terminal set-up");
    }
    path_ = name.data();
    hold_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (hold_ < 0) {
        const int error = errno;
        ::close(master_);
        errno = error;
        Fail("open " + path_);
    }
    MakeRaw(hold_);
}

PseudoTerminal::~PseudoTerminal() {
    ::close(hold_);
    ::close(master_);
}

PublishedLink::PublishedLink(std::string link, std::string target)
    : link_(std::move(link)), target_(std::move(target)) {
    struct stat existing {};
    if (::lstat(link_.c_str(), &existing) == 0 && !S_ISLNK(existing.st_mode)) {
        errno = EEXIST;
        Fail(link_);
    }
    // Made aside and renamed over, so the name never points nowhere.
    const std::string aside = link_ + ".new-" + std::to_string(::getpid());
    ::unlink(aside.c_str());
    if (::symlink(target_.c_str(), aside.c_str()) != 0) {
        Fail("symlink " + aside);
    }
    if (::rename(aside.c_str(), link_.c_str()) != 0) {
        const int error = errno;
        ::unlink(aside.c_str());
        errno = error;
        Fail("rename to " + link_);
    }
}

PublishedLink::~PublishedLink() {
    std::array<char, 4096> target{};
    const ssize_t length = ::readlink(link_.c_str(), target.data(), target.size() - 1);
    if (length >= 0 && std::string(target.data(), static_cast<std::size_t>(length)) == target_) {
        ::unlink(link_.c_str());
    }
}

}  // namespace vorlen::sim
