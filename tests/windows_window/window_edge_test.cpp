// What the Windows window alone does to what the form hands it: the CR of
// a multi-line control and the clipboard, the system command's low bits.
// Plain functions of the window's library, no form needed.
#include <gtest/gtest.h>

#include "dialog/system_command.h"
#include "win32/wide_text.h"
#include "win32/window_menu.h"

namespace vorlen::e2e {
namespace {

// Read back from the control, a text gives back exactly what went in, a
// CR of its own included; only a multi-line control gets a CR.
TEST(WindowEdge, EveryLineBreakGetsItsCrAndLosesItOnTheWayBack) {
    const struct {
        std::string text;
        bool multiLine;
        std::wstring shown;
    } cases[] = {
        {"Open COM7 Failed!\nAnother program is using this port.", true,
         L"Open COM7 Failed!\r\nAnother program is using this port."},
        {"\n\n", true, L"\r\n\r\n"},
        {"a\rb", true, L"a\rb"},
        {"a\r\nb", true, L"a\r\r\nb"},
        {"AT\r\n10086", false, L"AT\r\n10086"},  // a read-back's CR LF in a one-line edit
        {"中\n文", true, L"\x4E2D\r\n\x6587"},
        {"", true, L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ShownInControl(c.text, c.multiLine), c.shown) << c.text;
        EXPECT_EQ(TextOfControl(c.shown, c.multiLine), c.text) << c.text;
    }
}

// Windows keeps a system command's low four bits for itself.
TEST(WindowEdge, ASystemCommandReachesTheFormAsItsItemWhateverItsLowBits) {
    const struct {
        unsigned systemCommand;
        std::optional<unsigned> formCommand;
    } cases[] = {
        {0x0010, kAboutCommand},
        {0x0013, kAboutCommand},
        {0x001F, kAboutCommand},
        {0x10010, kAboutCommand},  // bits above the low word do not count
        {0x002F, kSaveProfileCommand},
        {kLineMonitorCommand | 0x3, kLineMonitorCommand},
        {kFleetStationCommand, kFleetStationCommand},
        {0x0000, std::nullopt},
        {0x000F, std::nullopt},
        {0x0110, std::nullopt},
        {SC_CLOSE, std::nullopt},
        {SC_MINIMIZE | 0x2, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(win32::FormCommandOf(c.systemCommand), c.formCommand) << c.systemCommand;
    }
}

}  // namespace
}  // namespace vorlen::e2e
