// A port that tells each write as it goes out: set-all writes one command per
// step, so the count is the step being sent.
#pragma once

#include <functional>

#include "protocol/port.h"

namespace vorlen::fleet {

class CountingPort : public Port {
public:
    CountingPort(Port& line, std::function<void(int written)> onWrite)
        : line_(line), onWrite_(std::move(onWrite)) {}

    std::size_t Write(std::string_view bytes, std::stop_token stop) override {
        onWrite_(++writes_);
        return line_.Write(bytes, stop);
    }
    std::size_t Read(char* into, std::size_t room) override { return line_.Read(into, room); }
    void Close() override { line_.Close(); }

private:
    Port& line_;
    std::function<void(int)> onWrite_;
    int writes_ = 0;
};

}  // namespace vorlen::fleet
