#include "provision/provision_tracker.h"

#include <chrono>

#include "model/gbk.h"
#include "protocol/readback.h"
#include "protocol/result_messages.h"
#include "protocol/set_all.h"
#include "provision/counting_port.h"
#include "provision/tool_texts.h"
#include "provision/wake.h"

namespace vorlen::provision {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Set-all's step n reports the failure line of command type n - 1, and every
// type has a line of its own.
int StepOfFailure(const std::string& failure, int language) {
    for (int step = 1; step <= kSetAllSteps; ++step) {
        if (ResultText(static_cast<CommandType>(step - 1), false, language) == failure) {
            return step;
        }
    }
    return 0;
}

// Set-all's side of the window: only its status line.
class SetAllStatus : public FormView {
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

// Sends the profile; true when all nineteen steps were acknowledged.
bool SetAll(Port& port, Profile& sent, const RunSettings& settings, const ShowPhase& show,
            Outcome& outcome) {
    CountingPort counted(port, [&](int step) {
        show(kSetting, Say(text::kSetting, settings.language,
                           {.count = step, .total = kSetAllSteps}));
    });
    SetAllStatus status;
    SendAllSettings(&counted, sent.form, sent.selections, status, settings.language);
    if (status.Succeeded()) {
        return true;
    }
    outcome.result = Result::StepFailed;
    outcome.failure = GbkToUtf8(status.Text());
    outcome.failedStep = StepOfFailure(status.Text(), settings.language);
    return false;
}

void Verify(Port& port, const Profile& sent, const RunSettings& settings, Outcome& outcome) {
    const TrackerReading reading = ReadBackTracker(port);
    if (!reading.Succeeded()) {
        outcome.result = Result::ReadBackFailed;
        outcome.failure = GbkToUtf8(ReadBackResultText(false, settings.language));
        return;
    }
    const Profile held{reading.form, reading.selections};
    outcome.differences = Differences(sent, held);
    outcome.result = outcome.differences.empty() ? Result::Done : Result::Differs;
}

}  // namespace

Outcome ProvisionTracker(Port& port, const std::string& portName, const Profile& profile,
                         const RunSettings& settings, const ShowPhase& show) {
    Outcome outcome;
    outcome.port = portName;
    const Clock::time_point start = Clock::now();
    show(kWaking, Say(text::kWaking, settings.language, {.detail = WakeSeconds(settings)}));
    const bool awake = WakeWithin(port, settings.wakeTimeout);
    outcome.timings.wakeSeconds = SecondsSince(start);
    if (awake) {
        const Clock::time_point setAllStart = Clock::now();
        Profile sent = profile;
        const bool set = SetAll(port, sent, settings, show, outcome);
        outcome.timings.setAllSeconds = SecondsSince(setAllStart);
        if (set) {
            const Clock::time_point verifyStart = Clock::now();
            show(kVerifying, Say(text::kVerifying, settings.language));
            Verify(port, sent, settings, outcome);
            outcome.timings.verifySeconds = SecondsSince(verifyStart);
        }
    }
    outcome.timings.totalSeconds = SecondsSince(start);
    return outcome;
}

}  // namespace vorlen::provision
