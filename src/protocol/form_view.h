// What the multi-command actions need of the window: the parts of the form
// that live in its controls rather than in the record. The window implements
// it; tests implement it with a recording fake.
#pragma once

#include <string>

#include "protocol/status_mark.h"

namespace vorlen {

class FormView {
public:
    virtual ~FormView() = default;

    // Stores the status text (GBK bytes) and mark and rewrites every control
    // from the record.
    virtual void ReportStatus(const std::string& text, StatusMark mark) = 0;

    // Rewrites every control from the record.
    virtual void Refresh() = 0;

    // Selects entry `index` of a choice list; an index the list lacks leaves
    // it without a selection.
    virtual void SelectEntry(int listId, int index) = 0;

    virtual void EnableControl(int controlId, bool enable) = 0;

    // Enables the centre, IP/port, APN and user-ID groups for the working mode
    // selected now.
    virtual void ApplyWorkingModeEnabling() = 0;
};

}  // namespace vorlen
