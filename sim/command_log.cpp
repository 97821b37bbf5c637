#include "command_log.h"

#include <cerrno>
#include <ctime>
#include <system_error>

namespace vorlen::sim {

namespace {

// Printable ASCII as it is; every other byte, and the backslash itself, as
// \xHH, so one command is always one line.
std::string Escaped(std::string_view command) {
    std::string text;
    for (const char c : command) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && c != '\\') {
            text += c;
        } else {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            text += escape;
        }
    }
    return text;
}

}  // namespace

CommandLog::CommandLog(const std::string& path) {
    if (path.empty()) {
        return;
    }
    file_ = std::fopen(path.c_str(), "w");
    if (file_ == nullptr) {
        throw std::system_error(errno, std::generic_category(), "open " + path);
    }
}

CommandLog::~CommandLog() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

void CommandLog::Record(std::string_view command) {
    if (file_ == nullptr) {
        return;
    }
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(file_, "%lld.%03ld %s\n", static_cast<long long>(now.tv_sec),
                 now.tv_nsec / 1000000, Escaped(command).c_str());
    std::fflush(file_);
}

}  // namespace vorlen::sim
