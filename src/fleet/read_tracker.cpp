#include "fleet/read_tracker.h"

#include "model/gbk.h"
#include "protocol/line_rows.h"
#include "protocol/readback.h"
#include "protocol/send_command.h"
#include "fleet/imei.h"
#include "fleet/tool_texts.h"

namespace vorlen::fleet {

std::optional<std::string> ReadImei(Port& port, int language, std::string& failure) {
    TrackerForm form;
    CommandStatus status;
    SendSingleCommand(CommandType::ReadImei, &port, form, {}, status, language);
    if (!status.Succeeded()) {
        failure = GbkToUtf8(status.Text());
        return std::nullopt;
    }
    if (!IsImei(form.imei)) {
        const std::string said = form.imei.empty() ? "" : ": \"" + EscapedText(form.imei) + "\"";
        failure = Say(text::kNotAnImei, language, {.detail = said});
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
