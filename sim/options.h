// The simulated tracker's command line.
#pragma once

#include <map>
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
    std::vector<std::string> misstored;
    std::vector<std::string> replies;  // CODE=BYTES, see CannedReplies
    std::vector<std::string> late;
    bool echo = false;
    bool chunked = false;
    bool flood = false;
    bool trickle = false;
    std::string imei = "864507030000001";
    bool bareImei = false;
};

// The --reply options as command code -> the exact bytes of its answer; a
// later option for the same code wins.
std::map<std::string, std::string> CannedReplies(const std::vector<std::string>& replies);

// Declares every option, with the help text that documents the log format.
void DescribeOptions(CLI::App& app, Options& options);

}  // namespace vorlen::sim
