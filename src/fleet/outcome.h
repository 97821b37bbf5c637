// How one port's run ended.
#pragma once

#include <string>
#include <vector>

#include "fleet/verification.h"

namespace vorlen::fleet {

enum class Result {
    Done,            // configured and verified
    NotWoken,        // no answer to the wake-up in time
    StepFailed,      // a set-all step was not acknowledged
    ReadBackFailed,  // set-all passed, the read-back did not
    Differs,         // the tracker holds other values than the profile
    Unchanged,       // the tracker already held the profile: nothing written
    NotListed,       // the device list has no row for the tracker's IMEI
};

// Provision writes what differs (or everything, forced); check only compares.
enum class Mode { Provision, Check };

struct Timings {
    double wakeSeconds = 0;
    double identifySeconds = 0;  // the IMEI and the first read-back
    double setAllSeconds = 0;
    double verifySeconds = 0;
    double totalSeconds = 0;
};

struct Outcome {
    std::string port;
    Mode mode = Mode::Provision;
    std::string imei;             // empty until the tracker is identified
    std::string softwareVersion;  // UTF-8
    Result result = Result::NotWoken;
    bool written = false;    // set-all was started
    int failedStep = 0;      // 1 to 19 for StepFailed
    std::string failure;     // the failure's status line, UTF-8
    std::vector<Difference> differences;
    Timings timings;
    // Why the journal does not hold the tracker's finished row; "" once it
    // does, or when no journal is kept. A tracker not recorded has not passed.
    std::string notRecorded;
};

}  // namespace vorlen::fleet
