// The window's current port, shared with the wake-up worker. The window
// replaces it on a port change; the worker takes it afresh for every attempt
// and keeps its own reference while the attempt runs, so a port closed under
// it fails that attempt instead of vanishing.
#pragma once

#include <memory>
#include <mutex>

#include "protocol/port.h"

namespace vorlen {

class PortSlot {
public:
    std::shared_ptr<Port> Current() const {
        std::lock_guard lock(mutex_);
        return port_;
    }

    // Stores a new port (or none) and returns the one it replaces.
    std::shared_ptr<Port> Replace(std::shared_ptr<Port> port) {
        std::lock_guard lock(mutex_);
        port_.swap(port);
        return port;
    }

private:
    mutable std::mutex mutex_;
    std::shared_ptr<Port> port_;
};

}  // namespace vorlen
