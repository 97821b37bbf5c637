// The window's side of set-all and read-back, without a window: it keeps the
// last status line and the entries the read-back selects.
#pragma once

#include <string>

#include "model/selections.h"
#include "protocol/form_view.h"

namespace vorlen::provision {

class TrackerView : public FormView {
public:
    void ReportStatus(const std::string& text, StatusMark mark) override;
    void Refresh() override {}
    void SelectEntry(int listId, int index) override;
    void EnableControl(int, bool) override {}
    void ApplyWorkingModeEnabling() override {}

    const std::string& StatusText() const { return statusText_; }  // GBK bytes
    bool Succeeded() const { return mark_ == StatusMark::Success; }
    const Selections& Selected() const { return selections_; }

private:
    std::string statusText_;
    StatusMark mark_ = StatusMark::None;
    Selections selections_;
};

}  // namespace vorlen::provision
