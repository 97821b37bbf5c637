// The tips of the real vorlen.exe's lists: the mouse is put where the
// operator's would be, and the tip windows are looked at from outside.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "model/control_ids.h"
#include "remote_form.h"
#include "win32/tip_combo_box.h"

namespace vorlen::e2e {
namespace {

using namespace control;

constexpr int kNoWarning = 0;
constexpr int kCallAndMessage = 3;  // "Call and MSG warning", wider than its field

struct Search {
    DWORD processId;
    const wchar_t* windowClass;
    HWND found;
};

BOOL CALLBACK FindShown(HWND window, LPARAM search) {
    auto* s = reinterpret_cast<Search*>(search);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t name[32] = {};
    ::GetClassNameW(window, name, static_cast<int>(std::size(name)));
    if (owner == s->processId && std::wstring(name) == s->windowClass && ::IsWindowVisible(window)) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND Shown(const RemoteForm& form, const wchar_t* windowClass) {
    Search search{form.ProcessId(), windowClass, nullptr};
    ::EnumWindows(FindShown, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ShownTip(const RemoteForm& form) { return Shown(form, TOOLTIPS_CLASSW); }

std::string TipText(HWND tip) {
    wchar_t text[128] = {};
    ::SendMessageW(tip, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
    return Utf8(text);
}

// The cursor there, and the move the control hears of.
void MoveMouse(HWND control, POINT client) {
    POINT screen = client;
    ::ClientToScreen(control, &screen);
    ::SetCursorPos(screen.x, screen.y);
    ::PostMessageW(control, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
}

class Tips : public ::testing::Test {
protected:
    void SetUp() override { form.Wake(); }

    HWND Field() const { return form.Item(kWarningTypeList); }
    // Inside the field's text, and on the drop-down button.
    POINT OnText() const { return {8, Height() / 2}; }
    POINT OnButton() const { return {Width() - 4, Height() / 2}; }
    void MouseAway() { ::SetCursorPos(1000, 1000); }

    // Waits a few of the tip's checks for what it shows, null for nothing.
    HWND TipAfterAWhile() const {
        ::Sleep(4 * win32::kTipCheckMs);
        return ShownTip(form);
    }

    RemoteForm form;

private:
    RECT Client() const {
        RECT client;
        ::GetClientRect(Field(), &client);
        return client;
    }
    int Width() const { return Client().right; }
    int Height() const { return Client().bottom; }
};

// The tip lies over the field's text, one pixel in and three down, in the
// window's colours while the list is not focused; it goes once the mouse
// has left, without a move the field would hear of.
TEST_F(Tips, AWideSelectionShowsInFullOverTheFieldUntilTheMouseLeaves) {
    form.Choose(kWarningTypeList, kCallAndMessage);
    form.Focus(kSetAll);
    MoveMouse(Field(), OnText());
    ASSERT_TRUE(WaitUntil([&] { return ShownTip(form) != nullptr; }, 2s)) << "no tip";
    HWND tip = ShownTip(form);
    EXPECT_EQ(TipText(tip), "Call and MSG warning");
    RECT placed;
    ::GetWindowRect(tip, &placed);
    POINT field{0, 0};
    ::ClientToScreen(Field(), &field);
    // Where the tooltip puts its border around the point is its own affair.
    EXPECT_NEAR(placed.left, field.x + 1, 1);
    EXPECT_NEAR(placed.top, field.y + 3, 1);
    EXPECT_EQ(static_cast<COLORREF>(::SendMessageW(tip, TTM_GETTIPBKCOLOR, 0, 0)),
              ::GetSysColor(COLOR_WINDOW));

    MouseAway();
    EXPECT_EQ(TipAfterAWhile(), nullptr);
}

TEST_F(Tips, NoTipForATextThatFitsNorOverTheDropDownButton) {
    const struct {
        const char* what;
        int entry;
        bool onButton;
    } cases[] = {
        {"a text that fits", kNoWarning, false},
        {"the drop-down button", kCallAndMessage, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        form.Choose(kWarningTypeList, c.entry);
        MoveMouse(Field(), c.onButton ? OnButton() : OnText());
        EXPECT_EQ(TipAfterAWhile(), nullptr);
    }
}

// A focused list's tip is highlighted, like the field; the open list shows
// its wide line in full, and closing the list takes the tip with it.
TEST_F(Tips, TheOpenListShowsItsWideLineUntilItCloses) {
    form.Choose(kWarningTypeList, kCallAndMessage);
    form.Focus(kWarningTypeList);
    MoveMouse(Field(), OnText());
    ASSERT_TRUE(WaitUntil([&] { return ShownTip(form) != nullptr; }, 2s)) << "no tip";
    EXPECT_EQ(static_cast<COLORREF>(::SendMessageW(ShownTip(form), TTM_GETTIPBKCOLOR, 0, 0)),
              ::GetSysColor(COLOR_HIGHLIGHT));

    ::SendMessageW(Field(), CB_SHOWDROPDOWN, TRUE, 0);
    HWND list = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (list = Shown(form, L"ComboLBox")) != nullptr; }));
    EXPECT_EQ(TipAfterAWhile(), nullptr) << "the field's tip stayed over the open list";
    RECT line{};
    ::SendMessageW(list, LB_GETITEMRECT, kCallAndMessage, reinterpret_cast<LPARAM>(&line));
    MoveMouse(list, {line.left + 8, (line.top + line.bottom) / 2});
    ASSERT_TRUE(WaitUntil([&] { return ShownTip(form) != nullptr; }, 2s)) << "no tip";
    EXPECT_EQ(TipText(ShownTip(form)), "Call and MSG warning");

    ::SendMessageW(Field(), CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_EQ(TipAfterAWhile(), nullptr);
    MouseAway();
}

}  // namespace
}  // namespace vorlen::e2e
