// The line monitor of the real vorlen.exe, opened from the window menu and
// read through the window system, against the simulated trackers' logs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "dialog/system_command.h"
#include "model/bilingual.h"
#include "model/control_ids.h"
#include "remote_form.h"

#include <dlgs.h>
#include "win32/line_monitor_window.h"

namespace vorlen::e2e {
namespace {

using namespace control;
using Monitor = win32::LineMonitorWindow;

constexpr int kCom2 = 1;  // the silent tracker's place in the port list

struct OwnedWindow {
    HWND owner;
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK FindOwnedWindow(HWND window, LPARAM search) {
    auto* s = reinterpret_cast<OwnedWindow*>(search);
    wchar_t caption[64] = {};
    ::GetWindowTextW(window, caption, static_cast<int>(std::size(caption)));
    if (::GetWindow(window, GW_OWNER) == s->owner && std::wstring(caption) == s->caption &&
        ::IsWindowVisible(window)) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForOwned(HWND owner, const wchar_t* caption) {
    OwnedWindow search{owner, caption, nullptr};
    WaitUntil([&] {
        ::EnumWindows(FindOwnedWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    return search.found;
}

// The monitor as the operator opens it: the window menu's item.
HWND OpenMonitor(const RemoteForm& form, const wchar_t* caption = L"Line Monitor") {
    ::PostMessageW(form.Window(), WM_SYSCOMMAND, kLineMonitorCommand, 0);
    return WaitForOwned(form.Window(), caption);
}

// A monitor that hangs fails the test instead of hanging the suite.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 5000, &result) == 0) {
        ADD_FAILURE() << "the monitor did not answer message " << message;
    }
    return static_cast<LRESULT>(result);
}

std::vector<std::string> Rows(HWND monitor) {
    HWND list = ::GetDlgItem(monitor, Monitor::kRows);
    const LRESULT count = Send(list, LB_GETCOUNT, 0, 0);
    std::vector<std::string> rows;
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t row[512] = {};
        Send(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(row));
        rows.push_back(Utf8(row));
    }
    return rows;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

const std::string kOk = " <- \\r\\nOK\\r\\n";

// A row of a written command, as the simulator logged it.
std::string Written(const std::string& logged) { return " -> " + logged + "\\r\\n"; }

// Every field the set-all check asks for, valid in the P2S mode.
const std::map<int, std::string> kTyped{
    {kUserNumber1 + 0, "13800000001"}, {kUserNumber1 + 1, "13800000002"},
    {kUserNumber1 + 2, "13800000003"}, {kUserNumber1 + 3, "13800000004"},
    {kUserNumber1 + 4, "13800000005"}, {kUserNumber1 + 5, "13800000006"},
    {kUserNumber1 + 6, "13800000007"}, {kUserNumber1 + 7, "13800000008"},
    {kUserNumber1 + 8, "13800000009"}, {kCenterNumber, "13900000000"},
    {kIntervalTime, "30"},             {kUploadCount, "5"},
    {kFenceRadius, "500"},             {kFenceInterval, "10"},
    {kLatitude, "2232.1234"},          {kLongitude, "11403.5678"},
    {kUserPassword, "1234"},           {kUserId, "car7"},
    {kApn, "cmnet"},                   {kApnUser, "guest"},
    {kApnPassword, "secret"},          {kServerIp, "10.0.0.1"},
    {kServerPort, "9000"},
};

// Clear empties the window; what follows shows alone: a set-all's nineteen
// commands, each answered by its OK.
TEST(LineMonitor, ClearEmptiesItThenASetAllShowsNineteenCommandsAndTheirOks) {
    RemoteForm form;
    form.Wake();
    const HWND monitor = OpenMonitor(form);
    ASSERT_NE(monitor, nullptr) << "no monitor";
    ASSERT_TRUE(WaitUntil([&] { return Rows(monitor).size() >= 4; })) << "no wake-up rows";
    EXPECT_TRUE(EndsWith(Rows(monitor)[0], Written("AT+ISP=RCAL:8")));
    Send(::GetDlgItem(monitor, Monitor::kClear), BM_CLICK, 0, 0);
    EXPECT_TRUE(Rows(monitor).empty());

    TrackerLog log("VORLEN_LOG_COM1");
    form.Choose(kWorkingModeList, 1);  // P2S
    for (const auto& [edit, text] : kTyped) {
        form.Type(edit, text);
    }
    form.Press(kSetAll);
    ASSERT_TRUE(form.WaitForStatus("Set all config successfully!", 10s));
    const std::vector<std::string> commands = log.Since();
    ASSERT_EQ(commands.size(), 19u);
    ASSERT_TRUE(WaitUntil([&] { return Rows(monitor).size() >= 38; }));
    ::Sleep(3 * Monitor::kRefreshMs);
    const std::vector<std::string> rows = Rows(monitor);
    ASSERT_EQ(rows.size(), 38u);
    for (std::size_t i = 0; i < commands.size(); ++i) {
        EXPECT_TRUE(EndsWith(rows[2 * i], Written(commands[i]))) << rows[2 * i];
        EXPECT_TRUE(EndsWith(rows[2 * i + 1], kOk)) << rows[2 * i + 1];
    }
}

// The silent tracker takes the wake-up's first command and says nothing.
TEST(LineMonitor, ASilentCommandShowsAsAWriteWithNothingAfterIt) {
    RemoteForm form;
    TrackerLog silent("VORLEN_LOG_COM2");
    form.Choose(kPortList, kCom2);
    ASSERT_TRUE(form.WaitForStatus("Init and Open COM2 Success!"));
    form.Press(kWakeTracker);
    const OwnedBox box = form.WaitForBox();
    ASSERT_NE(box.window, nullptr);
    form.Answer(box, IDOK);
    ASSERT_TRUE(silent.WaitForCommands(1));
    const HWND monitor = OpenMonitor(form);
    ASSERT_NE(monitor, nullptr) << "no monitor";
    ASSERT_TRUE(WaitUntil([&] { return !Rows(monitor).empty(); }));
    ::Sleep(5 * Monitor::kRefreshMs);  // well inside the attempt's wait for a reply
    ASSERT_EQ(silent.Since().size(), 1u);
    EXPECT_EQ(Rows(monitor).size(), 1u);
    EXPECT_TRUE(EndsWith(Rows(monitor)[0], Written(silent.Since()[0])));
}

std::string Clipboard() {
    std::string text;
    if (::OpenClipboard(nullptr)) {
        if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
            text = Utf8(static_cast<const wchar_t*>(::GlobalLock(data)));
            ::GlobalUnlock(data);
        }
        ::CloseClipboard();
    }
    return text;
}

std::string Joined(const std::vector<std::string>& rows, const std::string& end) {
    std::string text;
    for (const std::string& row : rows) {
        text += row + end;
    }
    return text;
}

// Copy All and Save hand out the rows as shown: the clipboard with Windows'
// line ends, the file as UTF-8 with the Linux window's.
TEST(LineMonitor, CopyAllAndSaveGiveTheRowsAsShown) {
    RemoteForm form;
    form.Wake();
    const HWND monitor = OpenMonitor(form);
    ASSERT_NE(monitor, nullptr) << "no monitor";
    ASSERT_TRUE(WaitUntil([&] { return Rows(monitor).size() >= 4; }));
    const std::vector<std::string> rows = Rows(monitor);

    Send(::GetDlgItem(monitor, Monitor::kCopyAll), BM_CLICK, 0, 0);
    EXPECT_EQ(Clipboard(), Joined(rows, "\r\n"));

    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::filesystem::path path =
        std::filesystem::path(folder) / (std::to_wstring(::GetTickCount()) + L"-线路.txt");
    ::PostMessageW(::GetDlgItem(monitor, Monitor::kSave), BM_CLICK, 0, 0);
    const HWND ask = WaitForOwned(monitor, L"Save");
    ASSERT_NE(ask, nullptr) << "no file dialog";
    HWND name = ::GetDlgItem(ask, cmb13) != nullptr ? ::GetDlgItem(ask, cmb13) : ::GetDlgItem(ask, edt1);
    Send(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.wstring().c_str()));
    ::PostMessageW(::GetDlgItem(ask, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(ask); })) << "the file dialog stayed";
    // The monitor writes the file once the dialog has gone, then says so.
    wchar_t result[MAX_PATH + 32] = {};
    EXPECT_TRUE(WaitUntil([&] {
        Send(::GetDlgItem(monitor, Monitor::kSaveResult), WM_GETTEXT, std::size(result),
             reinterpret_cast<LPARAM>(result));
        return result[0] != L'\0';
    }));
    EXPECT_EQ(Utf8(result), "Saved as " + Utf8(path.wstring()));
    std::ostringstream saved;
    saved << std::ifstream(path, std::ios::binary).rdbuf();
    EXPECT_EQ(saved.str(), Joined(rows, "\n"));
    std::filesystem::remove(path);
}

std::string Caption(HWND window) {
    wchar_t caption[64] = {};
    Send(window, WM_GETTEXT, std::size(caption), reinterpret_cast<LPARAM>(caption));
    return Utf8(caption);
}

// Escape hides the monitor and leaves the form. A language switch reaches
// the monitor at once, shown or hidden; opened again it stays where the
// operator last put it.
TEST(LineMonitor, EscapeHidesItItFollowsTheFormsLanguageLiveAndStaysWhereItWasPut) {
    RemoteForm form;
    const HWND monitor = OpenMonitor(form);
    ASSERT_NE(monitor, nullptr) << "no monitor";
    form.Choose(kLanguageList, kChinese);
    EXPECT_TRUE(WaitUntil([&] { return Caption(monitor) == "线路监视器"; })) << Caption(monitor);
    EXPECT_EQ(Caption(::GetDlgItem(monitor, Monitor::kClear)), "清除");
    HWND rows = ::GetDlgItem(monitor, Monitor::kRows);
    ::PostMessageW(rows, WM_KEYDOWN, VK_ESCAPE, 1);
    ::PostMessageW(rows, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0000001u));
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(monitor); }));
    form.Choose(kLanguageList, kEnglish);
    EXPECT_TRUE(WaitUntil([&] { return Caption(monitor) == "Line Monitor"; })) << Caption(monitor);
    ::SetWindowPos(monitor, nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(OpenMonitor(form), monitor);
    RECT place{};
    ::GetWindowRect(monitor, &place);
    EXPECT_EQ(place.left, 20);
    EXPECT_EQ(place.top, 30);
    EXPECT_EQ(Caption(::GetDlgItem(monitor, Monitor::kClear)), "Clear");
    EXPECT_FALSE(form.WaitForExit(0ms));
}

}  // namespace
}  // namespace vorlen::e2e
