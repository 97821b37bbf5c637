// The record of every command line the simulated tracker received, for
// tests and benchmarks that check the exact bytes and their pacing.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace vorlen::sim {

// "SECONDS.mmm COMMAND" per line on the monotonic clock; see the --help text.
class CommandLog {
public:
    // An empty path logs nothing. Throws std::system_error when the file
    // cannot be created.
    explicit CommandLog(const std::string& path);
    ~CommandLog();
    CommandLog(const CommandLog&) = delete;
    CommandLog& operator=(const CommandLog&) = delete;

    // Written and flushed at once, so a reader sees every line that arrived.
    void Record(std::string_view command);

private:
    std::FILE* file_ = nullptr;
};

}  // namespace vorlen::sim
