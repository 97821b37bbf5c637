#include "protocol/set_all.h"

#include <array>
#include <optional>
#include <string>

#include "model/field_text.h"
#include "protocol/command_type.h"
#include "protocol/commands.h"
#include "protocol/result_messages.h"
#include "protocol/transaction.h"

namespace vorlen {
namespace {

using BuildStep = std::optional<std::string> (*)(CommandType, TrackerForm&, const Selections&);

// Unlike its own button, set-all sends the upload count as entered in every
// working mode.
std::optional<std::string> FullIntervalCommand(CommandType, TrackerForm& form,
                                               const Selections&) {
    Trim(form.intervalTime);
    Trim(form.uploadCount);
    return IntervalCommand(IntegerValue(form.intervalTime), IntegerValue(form.uploadCount));
}

// One step: the setting whose failure line it reports and how its command is
// built.
struct Step {
    CommandType setting;
    BuildStep build;
};

constexpr std::array<Step, 19> kSteps{{
    {CommandType::SetUserNumber1, BuildCommand},
    {CommandType::SetUserNumber2, BuildCommand},
    {CommandType::SetUserNumber3, BuildCommand},
    {CommandType::SetUserNumber4, BuildCommand},
    {CommandType::SetUserNumber5, BuildCommand},
    {CommandType::SetUserNumber6, BuildCommand},
    {CommandType::SetUserNumber7, BuildCommand},
    {CommandType::SetUserNumber8, BuildCommand},
    {CommandType::SetUserNumber9, BuildCommand},
    {CommandType::SetCenterNumber, BuildCommand},
    {CommandType::SetSystemMode, BuildCommand},
    {CommandType::SetWarningType, BuildCommand},
    {CommandType::SetIntervalAndUpload, FullIntervalCommand},
    {CommandType::SetElectricFence, BuildCommand},
    {CommandType::SetUserPassword, BuildCommand},
    {CommandType::SetBaseStationNumber, BuildCommand},
    {CommandType::SetUserId, BuildCommand},
    {CommandType::SetApn, BuildCommand},
    {CommandType::SetIpAndPort, BuildCommand},
}};

}  // namespace

void SendAllSettings(Port* port, TrackerForm& form, const Selections& selections,
                     FormView& view, int language, const Pause& pause) {
    for (const Step& step : kSteps) {
        // A fence switched on without a fence type has no command; the step
        // fails without writing anything rather than resending another.
        const std::optional<std::string> command = step.build(step.setting, form, selections);
        std::string reply;
        if (!command || !RunTransaction(port, *command, reply, pause)) {
            view.ReportStatus(ResultText(step.setting, false, language), StatusMark::Failure);
            return;
        }
    }
    view.ReportStatus(ResultText(CommandType::SetAll, true, language), StatusMark::Success);
}

}  // namespace vorlen
