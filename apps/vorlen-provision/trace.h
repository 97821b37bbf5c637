// --trace: every port a run talks to records its line, and the records are
// printed after the run in the rows of the line monitor.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "protocol/line_record.h"
#include "protocol/port.h"

namespace vorlen::fleet {

class Trace {
public:
    explicit Trace(bool wanted) : wanted_(wanted) {}

    // The port, recording into a record of its own when a trace is wanted.
    std::shared_ptr<Port> Follow(std::shared_ptr<Port> port, const std::string& name);

    // Each followed port's line, port by port.
    void Print(std::ostream& out, int language) const;

private:
    const bool wanted_;
    std::vector<std::pair<std::string, std::unique_ptr<LineRecord>>> records_;
};

}  // namespace vorlen::fleet
