// The real vorlen.exe as the operator meets it, driven from another process
// through the window system only: it presses buttons, types into edits,
// picks list entries and answers message boxes through their windows. The
// simulated trackers' logs, which the harness names in the environment,
// are the oracle for what went out on the line.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace vorlen::e2e {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Polls `done` until it holds or `bound` has passed.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound = 5s);

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);
std::string Environment(const char* name);

// The command lines a simulated tracker received, oldest first, as the
// simulator logs them (printable ASCII; other bytes as \xHH).
class TrackerLog {
public:
    explicit TrackerLog(const char* environmentName);
    std::vector<std::string> Commands() const;
    // The commands received since the last Mark().
    std::vector<std::string> Since() const;
    void Mark();
    bool WaitForCommands(std::size_t count, std::chrono::milliseconds bound = 5s) const;

private:
    std::string path_;
    std::size_t mark_ = 0;
};

// A message box or the about box owned by the form.
struct OwnedBox {
    HWND window = nullptr;
    std::string caption;
    std::string text;
};

class RemoteForm {
public:
    // Starts vorlen.exe and waits for its form.
    RemoteForm();
    // Closes the form if it is still open; kills the program if it hangs.
    ~RemoteForm();
    RemoteForm(const RemoteForm&) = delete;
    RemoteForm& operator=(const RemoteForm&) = delete;

    HWND Window() const { return window_; }
    HWND Item(int id) const;
    DWORD ProcessId() const { return process_.dwProcessId; }

    void Press(int buttonId);
    void Type(int editId, const std::string& utf8);
    void Choose(int listId, int index);
    void SwitchFence(bool on);
    void PostKey(int id, WPARAM key);
    void Focus(int id);

    std::string Shown(int id) const;
    int Selected(int listId) const;
    int Count(int listId) const;
    std::string Entry(int listId, int index) const;
    bool Enabled(int id) const;
    bool Checked(int id) const;

    // The box the form opened, once it shows; a null window when none came.
    OwnedBox WaitForBox(std::chrono::milliseconds bound = 5s) const;
    void Answer(const OwnedBox& box, int button);
    // Wakes the awake tracker and waits for the unlocked form.
    void Wake();
    bool WaitForStatus(const std::string& utf8, std::chrono::milliseconds bound = 5s) const;
    // True once the program has ended within `bound`.
    bool WaitForExit(std::chrono::milliseconds bound) const;

private:
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
};

}  // namespace vorlen::e2e
