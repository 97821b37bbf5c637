// The simulated tracker's command line.
#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace vorlen::sim {

struct Options {
    std::string link;
    std::string log;
    bool awake = false;
    double wakeAfter = 0;
    bool silent = false;
    std::vector<std::string> refused;
    bool echo = false;
    bool chunked = false;
    bool flood = false;
    std::string imei = "864507030000001";
};

// Declares every option, with the help text that documents the log format.
void DescribeOptions(CLI::App& app, Options& options);

}  // namespace vorlen::sim
