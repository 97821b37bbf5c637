// The form as Windows builds it: every control of the layout at its place,
// the English captions, the locked area, the port list, the keyboard and
// the about item.
#include <gtest/gtest.h>

#include <cmath>

#include "dialog/captions.h"
#include "dialog/dialog_layout.h"
#include "model/bilingual.h"
#include "model/control_ids.h"
#include "remote_form.h"

namespace vorlen::e2e {
namespace {

using namespace control;

RECT ClientRectOf(HWND form, HWND control) {
    RECT rect;
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Windows turns dialog units into pixels with the font's base units; every
// control's edges are its layout's edges times one factor per axis.
TEST(Form, EveryControlOfTheLayoutSitsAtItsDialogUnitRectangle) {
    RemoteForm form;
    RECT client;
    ::GetClientRect(form.Window(), &client);
    const double perX = static_cast<double>(client.right) / kFormRect.width;
    const double perY = static_cast<double>(client.bottom) / kFormRect.height;
    EXPECT_GT(perX, 1.0);
    int checked = 0;
    for (const DialogControl& row : DialogLayout()) {
        if (row.id == kNoControlId) {
            continue;
        }
        SCOPED_TRACE(row.id);
        HWND control = form.Item(row.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(::IsWindowVisible(control) != FALSE, !row.Has(control_flag::kHidden));
        const RECT rect = ClientRectOf(form.Window(), control);
        const Rect expected = FieldRect(row);
        EXPECT_NEAR(rect.left, expected.x * perX, 1.5);
        EXPECT_NEAR(rect.top, expected.y * perY, 1.5);
        EXPECT_NEAR(rect.right, expected.Right() * perX, 1.5);
        if (row.kind != ControlKind::DropDownList) {  // a closed list's height follows its font
            EXPECT_NEAR(rect.bottom, expected.Bottom() * perY, 1.5);
        }
        ++checked;
    }
    EXPECT_EQ(checked, 82);
}

// The focus order is the order of the controls' windows.
TEST(Form, TheFocusOrderIsTheLayoutsOrder) {
    RemoteForm form;
    std::vector<int> shown;
    for (HWND child = ::GetWindow(form.Window(), GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        shown.push_back(::GetDlgCtrlID(child));
    }
    std::vector<int> laidOut;
    for (const DialogControl& row : DialogLayout()) {
        laidOut.push_back(row.id);
    }
    EXPECT_EQ(shown, laidOut);
}

TEST(Form, StartsInEnglishOnTheFirstPortWithTheConfigurationAreaLocked) {
    RemoteForm form;
    for (const Caption& caption : LanguageCaptions()) {
        EXPECT_EQ(form.Shown(caption.controlId), caption.text.english) << caption.controlId;
    }
    EXPECT_EQ(form.Shown(kStatusBox), "Init and Open COM1 Success!");
    ASSERT_EQ(form.Count(kPortList), 3);
    EXPECT_EQ(form.Entry(kPortList, 0), "COM1");
    EXPECT_EQ(form.Entry(kPortList, 1), "COM2");
    EXPECT_EQ(form.Entry(kPortList, 2), "COM3");
    EXPECT_EQ(form.Entry(kLanguageList, form.Selected(kLanguageList)), "English");
    EXPECT_EQ(form.Entry(kWorkingModeList, form.Selected(kWorkingModeList)), "P2P");
    for (const int usable : {kPortList, kLanguageList, kWakeTracker}) {
        EXPECT_TRUE(form.Enabled(usable)) << usable;
    }
    for (const int locked : {kSetUserNumber1, kUserNumber1, kSetAll, kReadConfig, kOpenGps,
                             kFenceOpen, kWorkingModeList, kImei}) {
        EXPECT_FALSE(form.Enabled(locked)) << locked;
    }
}

TEST(Form, SwitchingToChineseShowsEveryChineseCaption) {
    RemoteForm form;
    const std::string opened = "Init and Open COM1 Success!";
    ASSERT_TRUE(form.WaitForStatus(opened));
    form.Choose(kLanguageList, kChinese);
    for (const Caption& caption : LanguageCaptions()) {
        EXPECT_EQ(form.Shown(caption.controlId), caption.text.chinese) << caption.controlId;
    }
    EXPECT_EQ(form.Entry(kWorkingModeList, form.Selected(kWorkingModeList)), "点到点");
    // The status box keeps the last outcome across the switch.
    EXPECT_EQ(form.Shown(kStatusBox), opened);
}

TEST(Form, TheWindowMenuItemsOpenAlsoWithTheLowBitsSet) {
    RemoteForm form;
    for (const WPARAM command : {0x0010, 0x001F}) {
        ::PostMessageW(form.Window(), WM_SYSCOMMAND, command, 0);
        const OwnedBox box = form.WaitForBox();
        ASSERT_NE(box.window, nullptr) << command;
        EXPECT_EQ(box.caption, "About Vorlen");
        form.Answer(box, IDOK);
    }
    ::PostMessageW(form.Window(), WM_SYSCOMMAND, 0x0023, 0);  // Save Profile, low bits set
    const OwnedBox next = form.WaitForBox();
    ASSERT_NE(next.window, nullptr);
    EXPECT_EQ(next.caption, "Save Profile");
    form.Answer(next, IDCANCEL);
}

TEST(Form, EscapeEndsTheForm) {
    RemoteForm form;
    form.PostKey(kLanguageList, VK_ESCAPE);
    EXPECT_TRUE(form.WaitForExit(5s));
}

TEST(Form, TheCloseBoxEndsTheForm) {
    RemoteForm form;
    ::PostMessageW(form.Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(form.WaitForExit(5s));
}

// A wheel over a list without the focus must not reopen the port.
TEST(Form, TheWheelChangesAListOnlyWhileItHasTheFocus) {
    RemoteForm form;
    TrackerLog log("VORLEN_LOG_COM1");
    form.Focus(kLanguageList);
    ::SendMessageW(form.Item(kPortList), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_EQ(form.Selected(kPortList), 0);
    form.Focus(kPortList);
    ::SendMessageW(form.Item(kPortList), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_EQ(form.Selected(kPortList), 1);
}

}  // namespace
}  // namespace vorlen::e2e
