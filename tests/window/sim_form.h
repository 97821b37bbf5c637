// The form on real pseudo-terminals with simulated trackers behind them: the
// port list names the simulators' links and the form opens them with the real
// serial port. Message boxes are recorded and answered by the test.
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "sim/sim_process.h"
#include "form/bilingual.h"
#include "form/control_ids.h"
#include "form/control_text.h"
#include "form/gbk.h"
#include "form/tracker_config_dialog.h"
#include "serial/serial_port.h"
#include "window_fixture.h"

namespace vorlen::testing {

struct MessageLog {
    MessageAnswer answer = MessageAnswer::Ok;
    std::vector<std::string> texts;  // UTF-8
    std::vector<std::string> captions;
};

inline TrackerConfigServices SimServices(std::vector<std::string> links, MessageLog& messages) {
    TrackerConfigServices services;
    services.enumeratePorts = [links](PortList& ports) {
        ports.clear();
        for (const std::string& link : links) {
            ports.push_back({link, link, "Virtual serial port", 0, "Virtual serial port"});
        }
    };
    services.openPort = [](const std::string& name) -> std::shared_ptr<Port> {
        return OpenPort(name);
    };
    services.showMessage = [&messages](const std::string& text, const std::string& caption,
                                       MessageButtons) {
        messages.texts.push_back(GbkToUtf8(text));
        messages.captions.push_back(GbkToUtf8(caption));
        return messages.answer;
    };
    return services;
}

// One simulated tracker and the form started on it.
struct SimForm {
    explicit SimForm(const std::vector<std::string>& options = {"--awake"})
        : sim(options), form(SimServices({sim.LinkPath()}, messages)) {}

    test::SimProcess sim;
    MessageLog messages;
    TrackerConfigDialog form;
};

inline void Type(TrackerConfigDialog& form, int id, const QString& text) {
    SetControlText(*form.Control(id), text);
}

inline QString Shown(const TrackerConfigDialog& form, int id) {
    return ControlText(*form.Control(id));
}

// A click, which a disabled button ignores like the operator's would be.
inline void Press(TrackerConfigDialog& form, int buttonId) {
    auto* button = qobject_cast<QAbstractButton*>(form.Control(buttonId));
    ASSERT_NE(button, nullptr) << buttonId;
    EXPECT_TRUE(button->isEnabled()) << buttonId;
    button->click();
}

inline void SwitchFence(TrackerConfigDialog& form, bool on) {
    auto* box = qobject_cast<QAbstractButton*>(form.Control(control::kFenceOpen));
    if (box->isChecked() != on) {
        box->click();
    }
}

inline QString StatusText(const TrackerConfigDialog& form) {
    return Shown(form, control::kStatusBox);
}

}  // namespace vorlen::testing
