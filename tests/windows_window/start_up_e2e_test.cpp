// The form's start-up in this process, on a fake port list: the font the
// templates name, and the window on the screen before the port is opened.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "model/control_ids.h"
#include "win32/about_box.h"
#include "win32/form_template.h"
#include "win32/tracker_window.h"
#include "win32/wide_text.h"

namespace vorlen::e2e {
namespace {

struct TemplateFont {
    DWORD style;
    WORD pointSize;
    std::wstring face;
};

// The frame of a DLGTEMPLATEEX: version and signature, help id, extended
// style, style, item count, rectangle, no menu and the dialog class (a word
// each), the caption, then the font.
TemplateFont FontOf(const std::vector<WORD>& words) {
    const DWORD style = MAKELONG(words[6], words[7]);
    std::size_t at = 15;
    while (words[at] != 0) {  // the caption
        ++at;
    }
    const WORD pointSize = words[at + 1];
    std::wstring face;
    for (at += 4; words[at] != 0; ++at) {
        face += static_cast<wchar_t>(words[at]);
    }
    return {style, pointSize, face};
}

TEST(StartUp, TheFormAndTheAboutBoxUseTheShellsDialogFont) {
    for (const std::vector<WORD>& words : {win32::FormTemplate(), win32::AboutTemplate()}) {
        const TemplateFont font = FontOf(words);
        EXPECT_EQ(font.style & DS_SHELLFONT, static_cast<DWORD>(DS_SHELLFONT));
        EXPECT_EQ(font.pointSize, 8);
        EXPECT_EQ(font.face, L"MS Shell Dlg");
    }
}

BOOL CALLBACK FindForm(HWND window, LPARAM found) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// An outgoing Bluetooth port can hold its open for seconds: by then the
// operator must see the whole form.
TEST(StartUp, TheFormIsOnTheScreenBeforeThePortOpens) {
    bool visible = false;
    bool painted = false;
    TrackerConfigServices services;
    services.enumeratePorts = [](PortList& ports) { ports.push_back({"COM7", "", "", 0, "COM7"}); };
    services.openPort = [&](const std::string&, OpenFailure*) -> std::shared_ptr<Port> {
        HWND form = nullptr;
        ::EnumThreadWindows(::GetCurrentThreadId(), FindForm, reinterpret_cast<LPARAM>(&form));
        RECT unpainted{};
        visible = form != nullptr && ::IsWindowVisible(form);
        painted = form != nullptr && !::GetUpdateRect(form, &unpainted, FALSE);
        ::PostMessageW(form, WM_CLOSE, 0, 0);
        return nullptr;
    };
    win32::TrackerWindow form(std::move(services), ::GetModuleHandleW(nullptr));
    form.Run();
    EXPECT_TRUE(visible);
    EXPECT_TRUE(painted);
}

// What the status box shows once the form has opened (or failed to open)
// its port, taken on the form's own thread from a timer its loop runs.
struct StatusSeen {
    win32::TrackerWindow* form = nullptr;
    std::wstring shown;     // the edit's own text
    std::string readBack;   // what the window gives the form
};
StatusSeen seen;

void CALLBACK TakeStatus(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    HWND form = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindForm, reinterpret_cast<LPARAM>(&form));
    seen.shown = std::wstring(4096, L'\0');
    seen.shown.resize(static_cast<std::size_t>(
        ::GetWindowTextW(::GetDlgItem(form, control::kStatusBox), seen.shown.data(), 4096)));
    seen.readBack = seen.form->Text(control::kStatusBox);
    ::PostMessageW(form, WM_CLOSE, 0, 0);
}

// The form breaks the status box's lines with LF alone; the Windows edit
// shows a line break only for CR LF, and the form must read back its own
// text, not one with a CR more.
TEST(StartUp, TheStatusBoxShowsTheFormsTwoLinesAsTwoLines) {
    TrackerConfigServices services;
    services.enumeratePorts = [](PortList& ports) { ports.push_back({"COM7", "COM7", "COM7", 0, "COM7"}); };
    services.openPort = [](const std::string&, OpenFailure* why) -> std::shared_ptr<Port> {
        *why = {OpenFailureKind::InUse, "", ""};
        ::SetTimer(nullptr, 0, 10, TakeStatus);
        return nullptr;
    };
    win32::TrackerWindow form(std::move(services), ::GetModuleHandleW(nullptr));
    seen.form = &form;
    form.Run();
    const std::string expected =
        "Open COM7 Failed!\nAnother program is using this port. Close that program, then pick "
        "the port again.";
    EXPECT_EQ(seen.shown, ShownInControl(expected, true));
    EXPECT_NE(seen.shown.find(L"Failed!\r\nAnother"), std::wstring::npos);
    EXPECT_EQ(seen.readBack, expected);
}

}  // namespace
}  // namespace vorlen::e2e
