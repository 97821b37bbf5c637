// The form's start-up in this process, on a fake port list: the font the
// templates name, and the window on the screen before the port is opened.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "win32/about_box.h"
#include "win32/form_template.h"
#include "win32/tracker_window.h"

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

}  // namespace
}  // namespace vorlen::e2e
