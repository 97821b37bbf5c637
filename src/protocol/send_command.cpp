#include "protocol/send_command.h"

#include <optional>
#include <string>

#include "protocol/commands.h"
#include "protocol/readback.h"
#include "protocol/result_messages.h"
#include "protocol/set_all.h"
#include "protocol/transaction.h"

namespace vorlen {

void SendCommand(CommandType type, Port* port, TrackerForm& form, const Selections& selections,
                 FormView& view, int language, const Pause& pause) {
    if (type == CommandType::ReadConfig) {
        ReadBackConfiguration(port, form, view, language, pause);
    } else if (type == CommandType::SetAll) {
        SendAllSettings(port, form, selections, view, language, pause);
    } else {
        SendSingleCommand(type, port, form, selections, view, language, pause);
    }
}

void SendSingleCommand(CommandType type, Port* port, TrackerForm& form,
                       const Selections& selections, FormView& view, int language,
                       const Pause& pause) {
    const std::optional<std::string> command = BuildCommand(type, form, selections);
    std::string reply;
    const bool succeeded = command && RunTransaction(port, *command, reply, pause);
    if (succeeded && type == CommandType::ReadImei) {
        form.imei = ExtractImei(reply);
        view.Refresh();
    }
    view.ReportStatus(ResultText(type, succeeded, language),
                      succeeded ? StatusMark::Success : StatusMark::Failure);
}

}  // namespace vorlen
