// Test doubles for the multi-command actions: a scripted tracker line, pauses
// that take no time, and a form view that records what it is told.
#pragma once

#include <cstdint>
#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "model/tracker_form.h"
#include "protocol/form_view.h"
#include "protocol/readback.h"
#include "protocol/pause.h"
#include "protocol/port.h"

namespace vorlen::testing {

// Records every command written. Each read delivers the next chunk (an empty
// chunk is an empty poll; with none left every read is empty); the script's
// answer to a command is queued as a chunk, and so are the chunks given for
// the first command once it is written. Arrive() puts bytes on the line
// before any command. Safe to drive from a worker thread.
class ScriptedTracker : public Port {
public:
    using Script = std::function<std::string(const std::string& command)>;

    explicit ScriptedTracker(Script script, std::deque<std::string> firstAnswer = {})
        : script_(std::move(script)), firstAnswer_(std::move(firstAnswer)) {}

    void Arrive(std::string bytes) {
        std::lock_guard lock(mutex_);
        chunks_.push_back(std::move(bytes));
    }

    std::size_t Write(std::string_view bytes, std::stop_token) override {
        std::lock_guard lock(mutex_);
        written.emplace_back(bytes);
        chunks_.insert(chunks_.end(), firstAnswer_.begin(), firstAnswer_.end());
        firstAnswer_.clear();
        if (std::string answer = script_ ? script_(written.back()) : ""; !answer.empty()) {
            chunks_.push_back(std::move(answer));
        }
        return writeFails ? 0 : bytes.size();
    }

    std::size_t Read(char* into, std::size_t room) override {
        std::lock_guard lock(mutex_);
        roomAsked.push_back(room);
        if (chunks_.empty()) {
            return 0;
        }
        const std::size_t count = chunks_.front().copy(into, room);
        chunks_.front().erase(0, count);
        if (chunks_.front().empty()) {
            chunks_.pop_front();
        }
        return count;
    }

    void Close() override {}
    bool Gone() const override { return gone; }

    std::vector<std::string> Written() const {
        std::lock_guard lock(mutex_);
        return written;
    }

    std::vector<std::string> written;
    std::vector<std::size_t> roomAsked;
    bool writeFails = false;
    bool gone = false;  // the system has said the device went

private:
    mutable std::mutex mutex_;
    Script script_;
    std::deque<std::string> firstAnswer_;
    std::deque<std::string> chunks_;
};

inline std::string AcknowledgeEverything(const std::string&) { return "OK\r\n"; }

inline const Pause& NoPause() {
    static const Pause pause = [](std::chrono::milliseconds) { return true; };
    return pause;
}

// Records every pause; the pause numbered `stopAfter` reports a stop.
struct RecordingPause {
    std::vector<std::chrono::milliseconds> pauses;
    std::size_t stopAfter = SIZE_MAX;
    std::function<void()> onPause;
    Pause Get() {
        return [this](std::chrono::milliseconds duration) {
            pauses.push_back(duration);
            if (onPause) {
                onPause();
            }
            return pauses.size() < stopAfter;
        };
    }
};

// Every text filled, some with blanks around them, user number 5 empty and
// the fence off.
inline TrackerForm FilledForm() {
    TrackerForm form;
    for (int slot = 1; slot <= 9; ++slot) {
        UserNumber(form, slot) = "1380013800" + std::to_string(slot);
    }
    form.userNumber5 = "";
    form.centerNumber = " 10086";
    form.intervalTime = " 30 ";
    form.uploadCount = "5 ";
    form.fenceRadius = " 500";
    form.fenceInterval = "10 ";
    form.latitude = " 2232.1234";
    form.longitude = "11403.5678\t";
    form.userPassword = "1234";
    form.userId = "ID42";
    form.apn = "cmnet";
    form.apnUser = "user";
    form.apnPassword = "pass";
    form.serverIp = "10.0.0.1";
    form.serverPort = "8080";
    form.imei = "351234567890123";
    return form;
}

class FakeFormView : public FormView {
public:
    struct Status {
        std::string text;
        StatusMark mark;
    };

    void ReportStatus(const std::string& text, StatusMark mark) override {
        statuses.push_back({text, mark});
    }

    void Refresh() override { ++refreshes; }

    void ShowReading(const TrackerReading& reading) override { readings.push_back(reading); }

    std::vector<Status> statuses;
    int refreshes = 0;
    std::vector<TrackerReading> readings;
};

}  // namespace vorlen::testing
