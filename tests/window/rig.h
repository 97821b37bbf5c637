// The real window on a machine the test controls: the ports it lists, what
// opening them gives (a simulated tracker on a pseudo-terminal, or a line that
// takes every write and never answers), and message boxes that record instead
// of waiting. Every port the window opens is wrapped so a test sees each write
// it attempts, also those that never reach a tracker (a dead line).
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTest>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include "model/bilingual.h"
#include "model/control_ids.h"
#include "qt/control_text.h"
#include "model/gbk.h"
#include "qt/tracker_window.h"
#include "dialog/tracker_config_services.h"
#include "serial/posix/serial_port.h"
#include "protocol/recorded_port.h"
#include "sim/sim_process.h"

namespace vorlen::testing {

using namespace std::chrono_literals;
using namespace control;
using Clock = std::chrono::steady_clock;

struct WriteAttempt {
    std::string bytes;
    std::size_t written = 0;
};

// A port that records every write. Without a line behind it every write is
// taken whole and nothing is ever read. Hooks run on the writing thread just
// before and after the write, so a test can pull the cable at an exact point.
class RecordingPort : public Port {
public:
    using Hook = std::function<void(std::string_view command)>;

    // Without `keepWrites` only the number of writes is kept, so a long run
    // measures the window's memory and not the record of its writes.
    RecordingPort(std::string name, std::shared_ptr<Port> line, bool keepWrites)
        : name(std::move(name)), line_(std::move(line)), keepWrites_(keepWrites) {}

    std::size_t Write(std::string_view bytes, std::stop_token stop) override {
        if (beforeWrite) {
            beforeWrite(bytes);
        }
        const std::size_t written = line_ ? line_->Write(bytes, stop) : bytes.size();
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
    std::size_t Read(char* into, std::size_t room) override {
        return line_ ? line_->Read(into, room) : 0;
    }
    bool Gone() const override { return line_ && line_->Gone(); }
    void Close() override {
        closed = true;
        if (line_) {
            line_->Close();
        }
    }

    std::vector<WriteAttempt> Writes() const {
        std::lock_guard lock(mutex_);
        return writes_;
    }
    std::size_t WriteCount() const {
        std::lock_guard lock(mutex_);
        return count_;
    }
    std::size_t FailedWrites() const {
        std::size_t failed = 0;
        for (const WriteAttempt& write : Writes()) {
            failed += write.written == 0 ? 1 : 0;
        }
        return failed;
    }

    const std::string name;
    std::atomic<bool> closed = false;
    Hook beforeWrite;  // set before the port is used
    Hook afterWrite;

private:
    std::shared_ptr<Port> line_;
    const bool keepWrites_;
    mutable std::mutex mutex_;
    std::size_t count_ = 0;
    std::vector<WriteAttempt> writes_;
};

struct Machine {
    explicit Machine(std::vector<std::string> names = {}, bool real = true)
        : portNames(std::move(names)), realPorts(real) {}

    std::vector<std::string> portNames;
    bool realPorts = true;  // false: lines that never answer
    std::set<std::string> failingPorts;
    bool discoveryFails = false;
    bool keepWrites = true;
    MessageAnswer answer = MessageAnswer::Ok;
    std::optional<std::filesystem::path> profilePath;  // the file dialog's answer
    StartOptions start;                                // as from the command line

    std::vector<std::shared_ptr<RecordingPort>> opened;  // every port opened, in order
    std::vector<std::string> messages;                   // UTF-8
    std::vector<std::string> captions;
    std::vector<MessageButtons> buttons;

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
        services.openPort = [this](const std::string& name, OpenFailure* why) -> std::shared_ptr<Port> {
            std::shared_ptr<Port> line;
            if (failingPorts.contains(name)) {
                *why = {OpenFailureKind::InUse, "Device or resource busy", ""};
                return nullptr;
            }
            if (realPorts && !(line = OpenPort(name, why))) {
                return nullptr;
            }
            opened.push_back(std::make_shared<RecordingPort>(name, std::move(line), keepWrites));
            return opened.back();
        };
        services.showMessage = [this](const std::string& text, const std::string& caption,
                                      MessageButtons kind) {
            messages.push_back(GbkToUtf8(text));
            captions.push_back(GbkToUtf8(caption));
            buttons.push_back(kind);
            return answer;
        };
        services.askProfilePath = [this](bool) { return profilePath; };
        // The station opened from the form lists the same machine's ports.
        services.station = fleet::RealStationServices();
        services.station.enumeratePorts = services.enumeratePorts;
        services.start = start;
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

// One simulated tracker (awake unless told otherwise) and the window on it.
struct Rig {
    explicit Rig(const std::vector<std::string>& simOptions = {"--awake"})
        : sim(simOptions), machine{{sim.LinkPath()}} {}

    RecordingPort& Port() { return *machine.opened.at(0); }

    test::SimProcess sim;
    Machine machine;
    TrackerWindow form{machine.Services()};
};

inline const QColor kGreen(0, 255, 0);
inline const QColor kRed(255, 0, 0);
inline const std::vector<std::string> kWakeUpCommands{"AT+ISP=RCAL:8", "AT+ESLP=0"};

// The port the form talks through, beneath the line record's copy.
inline std::shared_ptr<vorlen::Port> LineUnder(TrackerWindow& form) {
    const auto recorded = std::dynamic_pointer_cast<RecordedPort>(form.Dialog().PortHandle().Current());
    return recorded ? recorded->Line() : nullptr;
}

inline std::string Shown(const TrackerWindow& form, int id) {
    return ControlText(*form.Control(id)).toStdString();
}
inline std::string StatusText(const TrackerWindow& form) { return Shown(form, kStatusBox); }

// What the operator sees behind the status text.
inline QColor StatusBackground(const TrackerWindow& form) {
    auto* box = qobject_cast<QPlainTextEdit*>(form.Control(kStatusBox));
    return box->viewport()->grab().toImage().pixelColor(2, 2);
}

inline void Type(TrackerWindow& form, int id, const QString& text) {
    SetControlText(*form.Control(id), text);
}

// Types like the operator, one key at a time; QTest::keyClicks cannot type
// characters beyond Latin-1.
inline void TypeKeys(QWidget* edit, const QString& text) {
    for (const char32_t character : text.toUcs4()) {
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString::fromUcs4(&character, 1),
                            Qt::NoModifier);
    }
}

// A click, which a disabled button ignores like the operator's would be.
inline void Press(TrackerWindow& form, int buttonId) {
    auto* button = qobject_cast<QAbstractButton*>(form.Control(buttonId));
    ASSERT_NE(button, nullptr) << buttonId;
    EXPECT_TRUE(button->isEnabled()) << buttonId;
    button->click();
}

inline void SwitchFence(TrackerWindow& form, bool on) {
    auto* box = qobject_cast<QAbstractButton*>(form.Control(kFenceOpen));
    if (box->isChecked() != on) {
        box->click();
    }
}

inline QComboBox* ListOf(const TrackerWindow& form, int id) {
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
inline void Choose(TrackerWindow& form, int listId, int index) {
    ListOf(form, listId)->setCurrentIndex(index);
    Q_EMIT ListOf(form, listId)->activated(index);
}

// Keeps the window's event loop turning until `done` holds or time is up.
inline bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 5s) {
    return QTest::qWaitFor(done, static_cast<int>(timeout.count()));
}

inline bool Unlocked(const TrackerWindow& form) { return form.Control(kSetAll)->isEnabled(); }

// Presses Wake Tracker, confirms, and waits until the area is usable.
inline bool WakeUp(TrackerWindow& form) {
    Press(form, kWakeTracker);
    return WaitUntil([&] { return Unlocked(form); });
}

inline std::vector<std::string> WithoutLineEnds(const std::vector<WriteAttempt>& writes) {
    std::vector<std::string> commands;
    for (const WriteAttempt& write : writes) {
        commands.push_back(write.bytes.ends_with("\r\n")
                               ? write.bytes.substr(0, write.bytes.size() - 2)
                               : write.bytes);
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

}  // namespace vorlen::testing
