// The real window against simulated trackers on pseudo-terminals: the ports
// it lists are the simulators' links, it opens them with the real serial
// port, and every port it opens is wrapped so a test sees each write the
// window attempts, also those that never reach a simulator (a dead line).
#pragma once

#include <QComboBox>
#include <QPlainTextEdit>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <unistd.h>

#include "sim/sim_process.h"
#include "form/control_ids.h"
#include "form/control_text.h"
#include "form/gbk.h"
#include "form/tracker_config_dialog.h"
#include "form/tracker_config_services.h"
#include "serial/serial_port.h"

namespace vorlen::faults {

using namespace std::chrono_literals;

// One write the window attempted and what the line took of it.
struct WriteAttempt {
    std::string bytes;
    std::size_t written = 0;
};

// A real serial port that records every write. Hooks run on the writing
// thread just before and just after the write, so a test can pull the cable
// at an exact point of a sequence.
class RecordingPort : public Port {
public:
    using Hook = std::function<void(std::string_view command)>;

    // Without `keepWrites` only the number of writes is kept, so a long run
    // measures the window's memory and not the record of its writes.
    RecordingPort(std::string name, std::shared_ptr<SerialPort> line, bool keepWrites = true)
        : name_(std::move(name)), line_(std::move(line)), keepWrites_(keepWrites) {}

    std::size_t Write(std::string_view bytes) override {
        if (beforeWrite) {
            beforeWrite(bytes);
        }
        const std::size_t written = line_->Write(bytes);
        {
            std::lock_guard lock(mutex_);
            ++count_;
            if (keepWrites_) {
                writes_.push_back({std::string(bytes), written});
            }
        }
        if (afterWrite) {
            afterWrite(bytes);
        }
        return written;
    }
    std::size_t Read(char* into, std::size_t room) override { return line_->Read(into, room); }
    void Close() override { line_->Close(); }

    const std::string& Name() const { return name_; }
    std::vector<WriteAttempt> Writes() const {
        std::lock_guard lock(mutex_);
        return writes_;
    }
    std::size_t WriteCount() const {
        std::lock_guard lock(mutex_);
        return count_;
    }

    // Set before the port is used; not changed while a worker writes.
    Hook beforeWrite;
    Hook afterWrite;

private:
    std::string name_;
    std::shared_ptr<SerialPort> line_;
    const bool keepWrites_;
    mutable std::mutex mutex_;
    std::size_t count_ = 0;
    std::vector<WriteAttempt> writes_;
};

// The machine the window starts on: the listed ports, the real serial port
// behind them, and message boxes that record instead of waiting (and confirm
// the wake-up).
struct Machine {
    explicit Machine(std::vector<std::string> ports) : portNames(std::move(ports)) {}

    std::vector<std::string> portNames;
    std::vector<std::shared_ptr<RecordingPort>> opened;  // every port opened, in order
    std::vector<std::string> messages;                   // UTF-8
    std::vector<MessageButtons> buttons;
    bool keepWrites = true;

    TrackerConfigServices Services() {
        TrackerConfigServices services;
        services.enumeratePorts = [this](PortList& ports) {
            ports.clear();
            for (const std::string& name : portNames) {
                ports.push_back({name, name, name, 0, name});
            }
        };
        services.openPort = [this](const std::string& name) -> std::shared_ptr<Port> {
            std::shared_ptr<SerialPort> line = OpenPort(name);
            if (line == nullptr) {
                return nullptr;
            }
            opened.push_back(std::make_shared<RecordingPort>(name, std::move(line), keepWrites));
            return opened.back();
        };
        services.showMessage = [this](const std::string& text, const std::string&,
                                      MessageButtons kind) {
            messages.push_back(GbkToUtf8(text));
            buttons.push_back(kind);
            return MessageAnswer::Ok;
        };
        return services;
    }

    // Messages other than the wake-up's confirmation.
    std::vector<std::string> Refusals() const {
        std::vector<std::string> refusals;
        for (std::size_t i = 0; i < messages.size(); ++i) {
            if (buttons[i] == MessageButtons::Ok) {
                refusals.push_back(messages[i]);
            }
        }
        return refusals;
    }
};

inline const QColor kGreen(0, 255, 0);
inline const QColor kRed(255, 0, 0);

inline std::string StatusText(const TrackerConfigDialog& form) {
    return ControlText(*form.Control(control::kStatusBox)).toStdString();
}

// What the operator sees behind the status text.
inline QColor StatusBackground(const TrackerConfigDialog& form) {
    auto* box = qobject_cast<QPlainTextEdit*>(form.Control(control::kStatusBox));
    return box->viewport()->grab().toImage().pixelColor(2, 2);
}

inline std::string Shown(const TrackerConfigDialog& form, int id) {
    return ControlText(*form.Control(id)).toStdString();
}

// A left click on the control, as the operator makes it; a disabled control
// ignores it.
inline void Click(TrackerConfigDialog& form, int id) {
    QTest::mouseClick(form.Control(id), Qt::LeftButton);
}

inline void Choose(TrackerConfigDialog& form, int listId, int index) {
    auto* list = qobject_cast<QComboBox*>(form.Control(listId));
    list->setCurrentIndex(index);
    emit list->activated(index);
}

// Keeps the window's event loop turning until `done` holds or time is up.
inline bool WaitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = 5000ms) {
    return QTest::qWaitFor(done, static_cast<int>(timeout.count()));
}

inline bool ConfigAreaUnlocked(const TrackerConfigDialog& form) {
    return form.Control(control::kSetAll)->isEnabled();
}

// Presses Wake Tracker, confirms, and waits until the area is usable.
inline bool WakeUp(TrackerConfigDialog& form) {
    Click(form, control::kWakeTracker);
    return WaitUntil([&] { return ConfigAreaUnlocked(form); });
}

inline std::vector<std::string> WithoutLineEnds(const std::vector<WriteAttempt>& writes) {
    std::vector<std::string> commands;
    for (const WriteAttempt& write : writes) {
        std::string command = write.bytes;
        if (command.ends_with("\r\n")) {
            command.resize(command.size() - 2);
        }
        commands.push_back(command);
    }
    return commands;
}

// A sanitizer keeps freed memory aside to catch late uses, so there the
// resident set grows with every allocation and says nothing about leaks.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool kResidentSetIsMeaningful = false;
#else
inline constexpr bool kResidentSetIsMeaningful = true;
#endif

// The resident set of this process in bytes.
inline long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

// What each open descriptor of this process refers to.
inline std::vector<std::string> OpenDescriptors() {
    std::vector<std::string> targets;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code gone;  // the iterator's own descriptor is closed by now
        const auto target = std::filesystem::read_symlink(entry.path(), gone);
        if (!gone) {
            targets.push_back(entry.path().filename().string() + " -> " + target.string());
        }
    }
    return targets;
}

inline const std::vector<std::string> kWakeUpCommands{"AT+ISP=RCAL:8", "AT+ESLP=0"};

}  // namespace vorlen::faults
