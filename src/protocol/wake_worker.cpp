#include "protocol/wake_worker.h"

#include <string>

#include "protocol/transaction.h"

namespace vorlen {
namespace {

// One attempt on the port the window holds now: after a port change the
// remaining attempts go to the new port.
bool Attempt(std::stop_token stop, const PortSlot& ports, std::string_view command,
             const Pause& pause, const PortGone& portGone) {
    if (stop.stop_requested()) {
        return false;
    }
    const std::shared_ptr<Port> port = ports.Current();
    if (port == nullptr) {
        return false;
    }
    std::string reply;
    if (!port->Gone() && RunTransaction(port.get(), command, reply, pause, stop)) {
        return true;
    }
    if (port->Gone() && portGone) {
        portGone(port);
    }
    return false;
}

}  // namespace

bool WakeTracker(std::stop_token stop, const PortSlot& ports, const Pause& pause,
                 const PortGone& portGone) {
    while (!Attempt(stop, ports, kWakeCommand, pause, portGone)) {
        if (stop.stop_requested() || !pause(kWakeRetryPause)) {
            return false;
        }
    }
    do {
        if (stop.stop_requested() || !pause(kWakeRetryPause)) {
            return false;
        }
    } while (!Attempt(stop, ports, kStayAwakeCommand, pause, portGone));
    return !stop.stop_requested();
}

WakeUpWorker::WakeUpWorker(PauseFactory makePause) : makePause_(std::move(makePause)) {}

WakeUpWorker::~WakeUpWorker() { Stop(); }

void WakeUpWorker::Restart(const PortSlot& ports, OnAwake onAwake, OnGone onGone) {
    Stop();
    const Ticket ticket = ++current_;
    running_ = true;
    thread_ = std::jthread([this, &ports, ticket, onAwake = std::move(onAwake),
                            onGone = std::move(onGone)](std::stop_token stop) {
        PortGone portGone;
        if (onGone) {
            portGone = [&](const std::shared_ptr<Port>& port) { onGone(ticket, port); };
        }
        if (WakeTracker(stop, ports, makePause_(stop), portGone)) {
            onAwake(ticket);
        }
        running_ = false;
    });
}

void WakeUpWorker::Stop() {
    ++current_;  // no earlier ticket is accepted from now on
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
    running_ = false;
}

bool WakeUpWorker::Accepts(Ticket ticket) const { return ticket == current_; }

bool WakeUpWorker::Running() const { return running_; }

}  // namespace vorlen
