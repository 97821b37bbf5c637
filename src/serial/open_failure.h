// Why a port would not open, as the operator needs to hear it: the system's
// error sorted into what the operator can do about it.
#pragma once

#include <string>

namespace vorlen {

enum class OpenFailureKind {
    NoPermission,  // the user may not use the device (not in its group)
    InUse,         // another program holds the port
    NoDevice,      // no such device (any more): unplugged, or a stale name
    Other,         // anything else; the system's own text says what
};

struct OpenFailure {
    OpenFailureKind kind = OpenFailureKind::Other;
    std::string systemText;  // the system's own error text
    std::string group;       // the device's group, for NoPermission; empty when unknown
};

}  // namespace vorlen
