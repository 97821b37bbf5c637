#include "fleet/journal/private_path.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlen::fleet {

bool MakePrivateFolders(const std::filesystem::path& folder, std::string& failure) {
    std::filesystem::path made;
    for (const std::filesystem::path& part : folder) {
        made /= part;
        if (::mkdir(made.c_str(), 0700) != 0 && errno != EEXIST) {
            failure = made.string() + ": " + std::strerror(errno);
            return false;
        }
    }
    return true;
}

bool MakePrivateFile(const std::filesystem::path& file, std::string& failure) {
    const int made = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (made < 0) {
        if (errno == EEXIST) {
            return true;
        }
        failure = std::strerror(errno);
        return false;
    }
    if (::close(made) != 0) {
        failure = std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace vorlen::fleet
