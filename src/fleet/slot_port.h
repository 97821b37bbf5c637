// A slot's line to its tracker. Once the station stops nothing more is
// written, so a slot ends after its current command; and the line tells
// when the tracker first answered, which is where its run begins.
#pragma once

#include <chrono>
#include <optional>

#include "protocol/port.h"

namespace vorlen::fleet {

class SlotPort : public Port {
public:
    using Clock = std::chrono::steady_clock;

    SlotPort(Port& line, std::stop_token stationStop) : line_(line), stop_(std::move(stationStop)) {}

    std::size_t Write(std::string_view bytes, std::stop_token stop) override {
        if (stop_.stop_requested()) {
            refused_ = true;
            return 0;
        }
        lastWrite_ = Clock::now();
        return line_.Write(bytes, stop.stop_possible() ? stop : stop_);
    }
    std::size_t Read(char* into, std::size_t room) override {
        const std::size_t count = line_.Read(into, room);
        if (count > 0 && !answered_) {
            answered_ = lastWrite_;
        }
        return count;
    }
    void Close() override { line_.Close(); }
    bool Gone() const override { return line_.Gone(); }

    // From now on the first answer is a new tracker's.
    void Listen() { answered_.reset(); }
    // When the command went out that the tracker answered first since Listen().
    std::optional<Clock::time_point> FirstAnswer() const { return answered_; }
    // A command was kept back because the station had stopped.
    bool Refused() const { return refused_; }

private:
    Port& line_;
    std::stop_token stop_;
    Clock::time_point lastWrite_ = Clock::now();
    std::optional<Clock::time_point> answered_;
    bool refused_ = false;
};

}  // namespace vorlen::fleet
