#include "serial/socket_name.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include <sys/stat.h>

#include "serial/posix/by_path.h"

namespace vorlen {

namespace fs = std::filesystem;

namespace {

// The same node behind both names, links followed. std::filesystem's
// equivalent() refuses device nodes, which every serial port is.
bool SameNode(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace

std::string SocketPortName(const std::string& devicePath) {
    return SocketPortName(devicePath, "/dev/serial/by-path");
}

// udev makes the links; a folder that is missing (no USB adapter plugged in
// since boot) or cannot be read leaves the kernel's name.
std::string SocketPortName(const std::string& devicePath, const fs::path& byPath) {
    std::error_code error;
    std::vector<fs::path> links;
    for (fs::directory_iterator entry(byPath, error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code unresolved;
        if (entry->is_symlink(unresolved) && SameNode(entry->path().string(), devicePath)) {
            links.push_back(entry->path());
        }
    }
    if (links.empty()) {
        return devicePath;
    }
    return std::min_element(links.begin(), links.end())->string();
}

bool SamePort(const std::string& a, const std::string& b) {
    return a == b || SameNode(a, b);
}

}  // namespace vorlen
