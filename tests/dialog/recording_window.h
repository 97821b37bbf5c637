// A window without a toolkit for the form's behaviour: it keeps what the form
// shows, by control id, answers message boxes from a script, and runs the
// calls meant for the window's thread when the test says so.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "dialog/dialog_window.h"
#include "dialog/monitor_window.h"

namespace vorlen::testing {

// A side window: where it was moved, how often shown, its language.
class RecordingSideWindow : public SideWindow {
public:
    Rect Frame() const override { return frame; }
    void Move(int x, int y) override {
        frame.x = x;
        frame.y = y;
        ++moves;
    }
    void ShowAndRaise() override { ++shown; }
    void SetLanguage(int to) override { language = to; }

    Rect frame{0, 0, 640, 360};
    int made = 0;
    int moves = 0;
    int shown = 0;
    int language = -1;
};

class RecordingWindow : public DialogWindow {
public:
    struct Message {
        std::string text;  // GBK, as the form passes it
        std::string caption;
        MessageButtons buttons;
    };

    std::string Text(int id) const override { return Find(texts, id); }
    void SetText(int id, const std::string& text) override { texts[id] = text; }
    void Enable(int id, bool enable) override {
        if (enable) {
            disabled.erase(id);
        } else {
            disabled.insert(id);
        }
    }
    bool IsChecked(int id) const override { return checked.contains(id); }
    void SetChecked(int id, bool on) override {
        if (on) {
            checked.insert(id);
        } else {
            checked.erase(id);
        }
    }
    void FillList(int id, const std::vector<std::string>& entries) override {
        lists[id] = entries;
        selected[id] = -1;
    }
    void SelectEntry(int id, int index) override {
        const auto list = lists.find(id);
        const int count = list == lists.end() ? 0 : static_cast<int>(list->second.size());
        selected[id] = index >= 0 && index < count ? index : -1;
    }
    int SelectedEntry(int id) const override {
        const auto found = selected.find(id);
        return found == selected.end() ? -1 : found->second;
    }
    MessageAnswer ShowMessage(const std::string& text, const std::string& caption,
                              MessageButtons buttons) override {
        messages.push_back({text, caption, buttons});
        return answer;
    }
    void FocusField(int id) override { focused = id; }
    void ShowBusy(bool busy) override { busyChanges.push_back(busy); }
    void ShowStatusMark(StatusMark shown) override { mark = shown; }
    void RunOnWindowThread(std::function<void()> call) override {
        std::lock_guard lock(mutex_);
        queued_.push_back(std::move(call));
    }
    void ShowAbout() override { ++aboutBoxes; }
    Rect Frame() const override { return frame; }
    Rect ScreenArea() const override { return screen; }
    SideWindow* MakeLineMonitor(LineRecord& record) override {
        monitorRecord = &record;
        return Made(lineMonitor);
    }
    SideWindow* MakeStation(fleet::StationServices services) override {
        stationServices = std::move(services);
        return Made(station);
    }
    void SetMenuText(unsigned command, const std::string& text) override {
        menuTexts[command] = text;
    }
    std::optional<std::filesystem::path> AskProfilePath(const std::string&, bool saving) override {
        asked.push_back(saving);
        return profilePath;
    }

    // Runs what other threads queued so far; returns how many calls ran.
    int RunQueued() {
        std::deque<std::function<void()>> calls;
        {
            std::lock_guard lock(mutex_);
            calls.swap(queued_);
        }
        for (const auto& call : calls) {
            call();
        }
        return static_cast<int>(calls.size());
    }

    bool Enabled(int id) const { return !disabled.contains(id); }

    // What the operator does: a pick from a list, typing into an edit.
    void Choose(int id, int index) { SelectEntry(id, index); }
    void Type(int id, const std::string& text) { texts[id] = text; }

    std::map<int, std::string> texts;
    std::set<int> disabled;
    std::set<int> checked;
    std::map<int, std::vector<std::string>> lists;
    std::map<int, int> selected;
    std::vector<Message> messages;
    MessageAnswer answer = MessageAnswer::Ok;
    int focused = -1;
    std::vector<bool> busyChanges;
    StatusMark mark = StatusMark::None;
    int aboutBoxes = 0;
    Rect frame{100, 50, 600, 400};
    Rect screen{0, 0, 1920, 1040};
    RecordingSideWindow lineMonitor;
    RecordingSideWindow station;
    LineRecord* monitorRecord = nullptr;
    fleet::StationServices stationServices;
    std::map<unsigned, std::string> menuTexts;
    std::optional<std::filesystem::path> profilePath;  // the operator's answer
    std::vector<bool> asked;                            // true: for saving

private:
    static SideWindow* Made(RecordingSideWindow& window) {
        ++window.made;
        return &window;
    }
    static std::string Find(const std::map<int, std::string>& in, int id) {
        const auto found = in.find(id);
        return found == in.end() ? std::string() : found->second;
    }

    std::mutex mutex_;
    std::deque<std::function<void()>> queued_;
};

// The line monitor's window: the rows, captions and clipboard it was given,
// and the path the operator answers the save box with.
class RecordingMonitorWindow : public MonitorWindow {
public:
    void SetText(int id, const std::string& text) override { texts[id] = text; }
    void AppendRows(const std::vector<std::string>& added) override {
        rows.insert(rows.end(), added.begin(), added.end());
    }
    void ClearRows() override { rows.clear(); }
    void CopyText(const std::string& text) override { clipboard = text; }
    std::optional<std::filesystem::path> AskSavePath(const std::string&, const std::string&) override {
        return savePath;
    }
    void ShowSaveResult(const std::string& message, const std::filesystem::path& file) override {
        texts[kMonitorSaveResult] = message + file.string();
    }

    std::map<int, std::string> texts;
    std::vector<std::string> rows;
    std::string clipboard;
    std::optional<std::filesystem::path> savePath;  // the operator's answer
};

}  // namespace vorlen::testing
