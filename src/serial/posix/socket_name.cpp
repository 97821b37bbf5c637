#include "serial/socket_name.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "serial/posix/by_path.h"

namespace vorlen {

namespace fs = std::filesystem;

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
        if (entry->is_symlink(unresolved) && fs::equivalent(entry->path(), devicePath, unresolved)) {
            links.push_back(entry->path());
        }
    }
    if (links.empty()) {
        return devicePath;
    }
    return std::min_element(links.begin(), links.end())->string();
}

bool SamePort(const std::string& a, const std::string& b) {
    std::error_code unresolved;
    return a == b || fs::equivalent(a, b, unresolved);
}

}  // namespace vorlen
