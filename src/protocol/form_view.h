// What the multi-command actions need of the window: the parts of the form
// that live in its controls rather than in the record. The window implements
// it; tests implement it with a recording fake.
#pragma once

#include <string>

#include "protocol/status_mark.h"

namespace vorlen {

struct TrackerReading;

class FormView {
public:
    virtual ~FormView() = default;

    // Stores the status text (GBK bytes) and mark and rewrites every control
    // from the record.
    virtual void ReportStatus(const std::string& text, StatusMark mark) = 0;

    // Rewrites every control from the record.
    virtual void Refresh() = 0;

    // Shows the lists' entries and the fence a read-back read, as far as it
    // got; the record already holds its fields.
    virtual void ShowReading(const TrackerReading& reading) = 0;
};

}  // namespace vorlen
