#include "profile/private_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string>

namespace vorlen {
namespace {

namespace fs = std::filesystem;

// A name nobody else holds yet: O_EXCL refuses one that exists, and
// O_NOFOLLOW refuses a link planted there, so the bytes can only land in a
// file this call created itself, mode 0600 whatever the umask allows.
int CreateBeside(const fs::path& path, fs::path& temporary) {
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporary = path;
        temporary += "." + std::to_string(random()) + ".part";
        const int file = ::open(temporary.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (file >= 0 || errno != EEXIST) {
            return file;
        }
    }
    return -1;
}

bool WriteAll(int file, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(file, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The rename itself is on disk only once the folder is.
void FlushFolder(const fs::path& path) {
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const int directory = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0) {
        ::fsync(directory);
        ::close(directory);
    }
}

}  // namespace

bool SavePrivateFile(const fs::path& path, std::string_view bytes) {
    fs::path temporary;
    const int file = CreateBeside(path, temporary);
    if (file < 0) {
        return false;
    }
    const bool written = ::fchmod(file, 0600) == 0 && WriteAll(file, bytes) && ::fsync(file) == 0;
    if (::close(file) == 0 && written && ::rename(temporary.c_str(), path.c_str()) == 0) {
        FlushFolder(path);
        return true;
    }
    ::unlink(temporary.c_str());
    return false;
}

}  // namespace vorlen
