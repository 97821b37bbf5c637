// How one port's run ended.
#pragma once

#include <string>
#include <vector>

#include "provision/verification.h"

namespace vorlen::provision {

enum class Result {
    Done,            // configured and verified
    NotWoken,        // no answer to the wake-up in time
    StepFailed,      // a set-all step was not acknowledged
    ReadBackFailed,  // set-all passed, the read-back did not
    Differs,         // the tracker holds other values than it acknowledged
};

struct Timings {
    double wakeSeconds = 0;
    double setAllSeconds = 0;
    double verifySeconds = 0;
    double totalSeconds = 0;
};

struct Outcome {
    std::string port;
    Result result = Result::NotWoken;
    int failedStep = 0;      // 1 to 19 for StepFailed
    std::string failure;     // the failure's status line, UTF-8
    std::vector<Difference> differences;
    Timings timings;
};

}  // namespace vorlen::provision
