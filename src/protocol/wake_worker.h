// Waking the tracker: after a reset it answers nothing until it has
// acknowledged "AT+ISP=RCAL:8", then "AT+ESLP=0" keeps it from sleeping again.
// The worker repeats each until acknowledged, without limit, on the thread of
// its own; it is the only work that runs beside the window's thread.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <string_view>
#include <thread>

#include "protocol/pause.h"
#include "protocol/port_slot.h"

namespace vorlen {

inline constexpr std::string_view kWakeCommand = "AT+ISP=RCAL:8\r\n";
inline constexpr std::string_view kStayAwakeCommand = "AT+ESLP=0\r\n";
inline constexpr std::chrono::milliseconds kWakeRetryPause{100};

// Called from the wake-up's thread with a port whose device went (the
// adapter was pulled out); nothing more is sent to it.
using PortGone = std::function<void(const std::shared_ptr<Port>&)>;

// Both phases against the port the slot holds at each attempt. Returns true
// once both commands are acknowledged, false as soon as a stop is requested:
// before an attempt, before a pause, or during one. An attempt without a
// port, or on one whose device went, sends nothing and waits for the next;
// `portGone` hears of the gone one at each such attempt.
bool WakeTracker(std::stop_token stop, const PortSlot& ports, const Pause& pause,
                 const PortGone& portGone = {});

// Owns the worker thread. Each start hands out a ticket; the window accepts
// the worker's unlock request only while its ticket is still current, so an
// unlock that arrives after a stop or a restart is dropped.
class WakeUpWorker {
public:
    using Ticket = std::uint64_t;
    using OnAwake = std::function<void(Ticket)>;
    using PauseFactory = std::function<Pause(std::stop_token)>;

    explicit WakeUpWorker(PauseFactory makePause = StoppablePause);
    ~WakeUpWorker();
    WakeUpWorker(const WakeUpWorker&) = delete;
    WakeUpWorker& operator=(const WakeUpWorker&) = delete;

    // Stops a running worker, then starts a new one. `onAwake` runs on the
    // worker's thread when the tracker is awake, `onGone` there when the
    // port's device went. `ports` must outlive the worker (Stop() or the
    // destructor ends it).
    using OnGone = std::function<void(Ticket, const std::shared_ptr<Port>&)>;
    void Restart(const PortSlot& ports, OnAwake onAwake, OnGone onGone = {});

    // Requests a stop and waits for the worker, which ends within one poll.
    void Stop();

    bool Accepts(Ticket ticket) const;
    bool Running() const;

private:
    PauseFactory makePause_;
    std::atomic<Ticket> current_{0};
    std::atomic<bool> running_{false};
    std::jthread thread_;
};

}  // namespace vorlen
