// What vorlen-provision reads from a tracker: its IMEI and its whole
// configuration. Every read of the configuration goes through here, so the
// read-back behind it can change without touching the runs.
#pragma once

#include <optional>
#include <string>

#include "profile/profile.h"
#include "protocol/form_view.h"
#include "protocol/port.h"

namespace vorlen::fleet {

// A command's side of the window without a window: only its status line,
// which says whether the tracker acknowledged it.
class CommandStatus : public FormView {
public:
    void ReportStatus(const std::string& text, StatusMark mark) override {
        text_ = text;
        mark_ = mark;
    }
    void Refresh() override {}
    void ShowReading(const TrackerReading&) override {}

    const std::string& Text() const { return text_; }  // GBK bytes
    bool Succeeded() const { return mark_ == StatusMark::Success; }

private:
    std::string text_;
    StatusMark mark_ = StatusMark::None;
};

// The IMEI as the tracker's reply quotes it, or nothing with the failure
// line (UTF-8) in `failure`: a reply that holds no IMEI (no quotes, other
// characters, another length) is no identity, and the tracker is not run.
std::optional<std::string> ReadImei(Port& port, int language, std::string& failure);

// The tracker's configuration (the software version in the record's
// `softwareVersion`), or nothing with the failure line (UTF-8) in `failure`.
std::optional<Profile> ReadConfiguration(Port& port, int language, std::string& failure);

}  // namespace vorlen::fleet
