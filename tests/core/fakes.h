// Test doubles for the multi-command actions: a scripted tracker line, pauses
// that take no time, and a form view that records what it is told.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "form/control_ids.h"
#include "protocol/form_view.h"
#include "protocol/pause.h"
#include "protocol/port.h"

namespace vorlen::testing {

// Records every command written; the script's answer to a command is what the
// reads after it deliver. An empty answer is a silent tracker.
class ScriptedTracker : public Port {
public:
    using Script = std::function<std::string(const std::string& command)>;

    explicit ScriptedTracker(Script script) : script_(std::move(script)) {}

    std::size_t Write(std::string_view bytes) override {
        written.emplace_back(bytes);
        pending_ += script_(written.back());
        return bytes.size();
    }

    std::size_t Read(char* into, std::size_t room) override {
        const std::size_t count = std::min(room, pending_.size());
        pending_.copy(into, count);
        pending_.erase(0, count);
        return count;
    }

    void Close() override {}

    std::vector<std::string> written;

private:
    Script script_;
    std::string pending_;
};

inline std::string AcknowledgeEverything(const std::string&) { return "OK\r\n"; }

inline const Pause& NoPause() {
    static const Pause pause = [](std::chrono::milliseconds) { return true; };
    return pause;
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

    void SelectEntry(int listId, int index) override {
        const int count = EntryCounts().at(listId);
        selected[listId] = index >= 0 && index < count ? index : -1;
    }

    void EnableControl(int controlId, bool enable) override { enabled[controlId] = enable; }

    void ApplyWorkingModeEnabling() override {
        workingModeAtEnabling.push_back(Selected(control::kWorkingModeList));
    }

    // -1 when the list has no selection.
    int Selected(int listId) const {
        const auto found = selected.find(listId);
        return found == selected.end() ? -1 : found->second;
    }

    std::vector<Status> statuses;
    int refreshes = 0;
    std::map<int, int> selected;
    std::map<int, bool> enabled;
    // The working mode selected each time the enabling was applied.
    std::vector<int> workingModeAtEnabling;

private:
    static const std::map<int, int>& EntryCounts() {
        static const std::map<int, int> counts{
            {control::kWorkingModeList, 5}, {control::kWarningTypeList, 4},
            {control::kBaseStationList, 8}, {control::kFenceTypeList, 2},
            {control::kNorthSouthList, 2},  {control::kEastWestList, 2},
        };
        return counts;
    }
};

}  // namespace vorlen::testing
