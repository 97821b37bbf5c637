#include "remote_form.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "model/control_ids.h"

namespace vorlen::e2e {
namespace {

// A form that hangs fails the test instead of hanging the suite.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 10000, &result) == 0) {
        ADD_FAILURE() << "the form did not answer message " << message;
    }
    return static_cast<LRESULT>(result);
}

std::wstring TextOf(HWND window) {
    wchar_t buffer[4096] = {};
    const LRESULT length = Send(window, WM_GETTEXT, std::size(buffer),
                                          reinterpret_cast<LPARAM>(buffer));
    return std::wstring(buffer, static_cast<std::size_t>(length));
}

struct BoxSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwnedBox(HWND window, LPARAM search) {
    auto* s = reinterpret_cast<BoxSearch*>(search);
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, static_cast<int>(std::size(name)));
    if (std::wstring(name) == L"#32770" && ::GetWindow(window, GW_OWNER) == s->owner &&
        ::IsWindowVisible(window)) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

struct FormSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindForm(HWND window, LPARAM search) {
    auto* s = reinterpret_cast<FormSearch*>(search);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t caption[16] = {};
    ::GetWindowTextW(window, caption, static_cast<int>(std::size(caption)));
    if (owner == s->processId && std::wstring(caption) == L"Vorlen" && ::IsWindowVisible(window)) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

std::string Unlogged(const std::string& line) {
    const std::size_t space = line.find(' ');
    return space == std::string::npos ? line : line.substr(space + 1);
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound) {
    const auto deadline = Clock::now() + bound;
    while (!done()) {
        if (Clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

std::wstring Wide(const std::string& utf8) {
    std::wstring wide(utf8.size() + 1, L'\0');
    wide.resize(static_cast<std::size_t>(::MultiByteToWideChar(
        CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
        static_cast<int>(wide.size()))));
    return wide;
}

std::string Utf8(const std::wstring& wide) {
    std::string utf8(wide.size() * 3 + 1, '\0');
    utf8.resize(static_cast<std::size_t>(
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(),
                              static_cast<int>(utf8.size()), nullptr, nullptr)));
    return utf8;
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

TrackerLog::TrackerLog(const char* environmentName) : path_(Environment(environmentName)) {
    Mark();
}

std::vector<std::string> TrackerLog::Commands() const {
    std::vector<std::string> commands;
    std::ifstream file(path_);
    for (std::string line; std::getline(file, line);) {
        commands.push_back(Unlogged(line));
    }
    return commands;
}

std::vector<std::string> TrackerLog::Since() const {
    const std::vector<std::string> all = Commands();
    return {all.begin() + static_cast<long>(std::min(mark_, all.size())), all.end()};
}

void TrackerLog::Mark() { mark_ = Commands().size(); }

bool TrackerLog::WaitForCommands(std::size_t count, std::chrono::milliseconds bound) const {
    return WaitUntil([&] { return Since().size() >= count; }, bound);
}

RemoteForm::RemoteForm() {
    std::wstring command = L"\"" + Wide(Environment("VORLEN_EXE")) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // Wine now and then loses a new process before its first instruction
    // and says ERROR_INTERNAL_ERROR: the program never ran, so it is started
    // again, and said so. Any other failure, or a third loss, fails the test.
    for (int attempt = 1;; ++attempt) {
        if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process_)) {
            break;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_INTERNAL_ERROR || attempt == 3) {
            ADD_FAILURE() << "vorlen.exe did not start: " << error;
            return;
        }
        std::fprintf(stderr, "vorlen.exe was lost before it started (%lu); starting it again\n",
                     error);
    }
    WaitUntil(
        [&] {
            FormSearch search{process_.dwProcessId, nullptr};
            ::EnumWindows(FindForm, reinterpret_cast<LPARAM>(&search));
            window_ = search.found;
            return window_ != nullptr;
        },
        20s);
    EXPECT_NE(window_, nullptr) << "no form";
}

RemoteForm::~RemoteForm() {
    if (process_.hProcess == nullptr) {
        return;
    }
    if (!WaitForExit(0ms)) {
        ::PostMessageW(window_, WM_CLOSE, 0, 0);
        if (!WaitForExit(10s)) {
            ADD_FAILURE() << "the form did not close";
            ::TerminateProcess(process_.hProcess, 1);
        }
    }
    ::CloseHandle(process_.hThread);
    ::CloseHandle(process_.hProcess);
}

HWND RemoteForm::Item(int id) const { return ::GetDlgItem(window_, id); }

// Posted, as the click may open a modal box that the test then answers.
void RemoteForm::Press(int buttonId) {
    ASSERT_TRUE(Enabled(buttonId)) << buttonId;
    ::PostMessageW(Item(buttonId), BM_CLICK, 0, 0);
}

// WM_SETTEXT reaches the edit as a paste of the whole text would.
void RemoteForm::Type(int editId, const std::string& utf8) {
    const std::wstring text = Wide(utf8);
    Send(Item(editId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// What a pick in the open list does: the selection, then its notification.
void RemoteForm::Choose(int listId, int index) {
    ASSERT_TRUE(Enabled(listId)) << listId;
    HWND list = Item(listId);
    Send(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Send(window_, WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(list));
}

void RemoteForm::SwitchFence(bool on) {
    if (Checked(control::kFenceOpen) != on) {
        Send(Item(control::kFenceOpen), BM_CLICK, 0, 0);
    }
}

void RemoteForm::PostKey(int id, WPARAM key) {
    HWND target = Item(id);
    ::PostMessageW(target, WM_KEYDOWN, key, 1);
    if (key == VK_RETURN) {
        ::PostMessageW(target, WM_CHAR, L'\r', 1);
    }
    ::PostMessageW(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

void RemoteForm::Focus(int id) {
    Send(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE);
}

std::string RemoteForm::Shown(int id) const { return Utf8(TextOf(Item(id))); }

int RemoteForm::Selected(int listId) const {
    return static_cast<int>(Send(Item(listId), CB_GETCURSEL, 0, 0));
}

int RemoteForm::Count(int listId) const {
    return static_cast<int>(Send(Item(listId), CB_GETCOUNT, 0, 0));
}

std::string RemoteForm::Entry(int listId, int index) const {
    wchar_t text[256] = {};
    Send(Item(listId), CB_GETLBTEXT, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(text));
    return Utf8(text);
}

bool RemoteForm::Enabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }

bool RemoteForm::Checked(int id) const {
    return Send(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

OwnedBox RemoteForm::WaitForBox(std::chrono::milliseconds bound) const {
    BoxSearch search{window_, nullptr};
    WaitUntil(
        [&] {
            ::EnumWindows(FindOwnedBox, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        bound);
    if (search.found == nullptr) {
        return {};
    }
    // A message box's text is the static with id 0xFFFF.
    HWND text = ::GetDlgItem(search.found, 0xFFFF);
    return {search.found, Utf8(TextOf(search.found)), text != nullptr ? Utf8(TextOf(text)) : ""};
}

void RemoteForm::Answer(const OwnedBox& box, int button) {
    ::PostMessageW(::GetDlgItem(box.window, button), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box.window); })) << "the box stayed";
}

void RemoteForm::Wake() {
    Press(control::kWakeTracker);
    const OwnedBox box = WaitForBox();
    ASSERT_NE(box.window, nullptr) << "no confirmation";
    Answer(box, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return Enabled(control::kOpenGps); })) << "still locked";
}

bool RemoteForm::WaitForStatus(const std::string& utf8, std::chrono::milliseconds bound) const {
    return WaitUntil([&] { return Shown(control::kStatusBox) == utf8; }, bound);
}

bool RemoteForm::WaitForExit(std::chrono::milliseconds bound) const {
    return ::WaitForSingleObject(process_.hProcess, static_cast<DWORD>(bound.count())) ==
           WAIT_OBJECT_0;
}

}  // namespace vorlen::e2e
