#include "provision/read_tracker.h"

#include "model/gbk.h"
#include "protocol/readback.h"
#include "protocol/send_command.h"
#include "provision/tracker_view.h"

namespace vorlen::provision {

std::optional<std::string> ReadImei(Port& port, int language, std::string& failure) {
    TrackerForm form;
    TrackerView view;
    SendSingleCommand(CommandType::ReadImei, &port, form, {}, view, language);
    if (!view.Succeeded()) {
        failure = GbkToUtf8(view.StatusText());
        return std::nullopt;
    }
    return form.imei;
}

std::optional<Profile> ReadConfiguration(Port& port, int language, std::string& failure) {
    Profile held;
    TrackerView view;
    ReadBackConfiguration(&port, held.form, view, language);
    if (!view.Succeeded()) {
        failure = GbkToUtf8(view.StatusText());
        return std::nullopt;
    }
    held.selections = view.Selected();
    return held;
}

}  // namespace vorlen::provision
