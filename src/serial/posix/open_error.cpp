#include "serial/posix/open_error.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <vector>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlen {

namespace {

struct ErrorClass {
    int error;
    OpenFailureKind kind;
};

constexpr ErrorClass kErrorClasses[] = {
    {EACCES, OpenFailureKind::NoPermission}, {EPERM, OpenFailureKind::NoPermission},
    {EBUSY, OpenFailureKind::InUse},         {EWOULDBLOCK, OpenFailureKind::InUse},
    {ENOENT, OpenFailureKind::NoDevice},     {ENODEV, OpenFailureKind::NoDevice},
    {ENXIO, OpenFailureKind::NoDevice},
};

OpenFailureKind KindOf(int error) {
    const auto* found = std::find_if(std::begin(kErrorClasses), std::end(kErrorClasses),
                                     [&](const ErrorClass& c) { return c.error == error; });
    return found == std::end(kErrorClasses) ? OpenFailureKind::Other : found->kind;
}

// The name of the group that owns the device node (after links), or empty
// when joining it would not help: its members may not read and write.
std::string GroupOf(const std::string& devicePath) {
    struct stat node {};
    if (::stat(devicePath.c_str(), &node) != 0 ||
        (node.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP)) {
        return {};
    }
    const long suggested = ::sysconf(_SC_GETGR_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 4096);
    group entry{};
    group* found = nullptr;
    while (::getgrgid_r(node.st_gid, &entry, buffer.data(), buffer.size(), &found) == ERANGE) {
        buffer.resize(buffer.size() * 2);
    }
    return found == nullptr ? std::string() : std::string(found->gr_name);
}

}  // namespace

OpenFailure DescribeOpenError(int error, const std::string& devicePath) {
    OpenFailure why;
    why.kind = KindOf(error);
    why.systemText = std::strerror(error);
    if (why.kind == OpenFailureKind::NoPermission) {
        why.group = GroupOf(devicePath);
    }
    return why;
}

}  // namespace vorlen
