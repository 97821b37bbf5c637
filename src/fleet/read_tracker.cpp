#include "fleet/read_tracker.h"

#include "model/gbk.h"
#include "protocol/readback.h"
#include "protocol/send_command.h"

namespace vorlen::fleet {

std::optional<std::string> ReadImei(Port& port, int language, std::string& failure) {
    TrackerForm form;
    CommandStatus status;
    SendSingleCommand(CommandType::ReadImei, &port, form, {}, status, language);
    if (!status.Succeeded()) {
        failure = GbkToUtf8(status.Text());
        return std::nullopt;
    }
    return form.imei;
}

std::optional<Profile> ReadConfiguration(Port& port, int language, std::string& failure) {
    const TrackerReading reading = ReadBackTracker(port);
    if (!reading.Succeeded()) {
        failure = GbkToUtf8(ReadBackResultText(false, language));
        return std::nullopt;
    }
    return Profile{reading.form, reading.selections};
}

}  // namespace vorlen::fleet
