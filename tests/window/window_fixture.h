// A machine for the form to start on: fake serial ports and a message box
// that records instead of waiting for the operator.
#pragma once

#include <QComboBox>
#include <QStringList>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "form/gbk.h"
#include "form/tracker_config_dialog.h"
#include "form/tracker_config_services.h"
#include "protocol/port.h"

namespace vorlen::testing {

class FakePort : public Port {
public:
    explicit FakePort(std::string name) : name(std::move(name)) {}
    std::size_t Write(std::string_view bytes) override { return bytes.size(); }
    std::size_t Read(char*, std::size_t) override { return 0; }
    void Close() override { closed = true; }

    std::string name;
    bool closed = false;
};

struct FakeMachine {
    std::vector<std::string> portNames;
    std::set<std::string> failingPorts;
    bool discoveryFails = false;

    std::vector<std::shared_ptr<FakePort>> opened;  // every port opened, in order
    std::vector<std::string> messages;              // UTF-8
    std::vector<std::string> captions;

    TrackerConfigServices Services() {
        TrackerConfigServices services;
        services.enumeratePorts = [this](PortList& ports) {
            if (discoveryFails) {
                throw PortEnumerationError("no port tree");
            }
            ports.clear();
            for (const std::string& name : portNames) {
                ports.push_back({name, name, name, 0, name});
            }
        };
        services.openPort = [this](const std::string& name) -> std::shared_ptr<Port> {
            if (failingPorts.contains(name)) {
                return nullptr;
            }
            opened.push_back(std::make_shared<FakePort>(name));
            return opened.back();
        };
        services.showMessage = [this](const std::string& text, const std::string& caption,
                                      MessageButtons) {
            messages.push_back(GbkToUtf8(text));
            captions.push_back(GbkToUtf8(caption));
            return MessageAnswer::Ok;
        };
        return services;
    }
};

inline QComboBox* ListOf(const TrackerConfigDialog& form, int id) {
    return qobject_cast<QComboBox*>(form.Control(id));
}

inline QStringList Entries(const QComboBox* list) {
    QStringList entries;
    for (int i = 0; i < list->count(); ++i) {
        entries << list->itemText(i);
    }
    return entries;
}

// What the list does when the operator picks an entry.
inline void Choose(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
}

}  // namespace vorlen::testing
