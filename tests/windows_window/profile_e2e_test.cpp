// The window menu's items through the system menu and their shortcuts, and
// profiles through the common file dialog: one form's profile fills a fresh
// form; a bad profile is refused with its message and changes nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "dialog/system_command.h"
#include "model/bilingual.h"
#include "model/control_ids.h"
#include "model/gbk.h"
#include "profile/profile.h"
#include "profile/profile_messages.h"
#include "remote_form.h"

#include <dlgs.h>

namespace vorlen::e2e {
namespace {

using namespace control;
namespace fs = std::filesystem;

// A fresh name in the prefix's temporary folder. Windows names carry it as
// UTF-16: a character code page 936 lacks shows that it never went through it.
fs::path FreshProfile(const std::wstring& name) {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const fs::path path = fs::path(folder) / (std::to_wstring(::GetTickCount()) + L"-" + name);
    fs::remove(path);
    return path;
}

void PostMenuCommand(const RemoteForm& form, WPARAM command) {
    ::PostMessageW(form.Window(), WM_SYSCOMMAND, command, 0);
}

// Names the file in the open file dialog, as typed into its name field,
// and accepts it.
void NameFile(RemoteForm& form, const std::string& caption, const fs::path& path) {
    const OwnedBox box = form.WaitForBox();
    ASSERT_NE(box.window, nullptr) << "no file dialog";
    EXPECT_EQ(box.caption, caption);
    HWND name = ::GetDlgItem(box.window, cmb13);
    if (name == nullptr) {
        name = ::GetDlgItem(box.window, edt1);
    }
    ASSERT_NE(name, nullptr);
    ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.wstring().c_str()));
    form.Answer(box, IDOK);
}

const struct {
    int edit;
    std::string text;
} kTexts[] = {
    {kCenterNumber, "+8613900000000"}, {kUserNumber1 + 2, "13800000003"},
    {kApn, "cmnet"},                   {kUserId, "车队7"},
    {kServerPort, "9000"},
};

TEST(Profiles, SavedThroughTheWindowMenuTheyFillAFreshForm) {
    const fs::path path = FreshProfile(L"ß路线");
    {
        RemoteForm form;
        form.Wake();
        form.Choose(kWorkingModeList, kModeLongGprs);
        form.Choose(kWarningTypeList, 2);
        for (const auto& t : kTexts) {
            form.Type(t.edit, t.text);
        }
        PostMenuCommand(form, kSaveProfileCommand);
        fs::path named = path;
        NameFile(form, "Save Profile", named.replace_extension());
        ASSERT_TRUE(WaitUntil([&] { return fs::exists(path.wstring() + L".toml"); }))
            << "the default extension was not added";
    }
    RemoteForm fresh;
    PostMenuCommand(fresh, kLoadProfileCommand | 0x000F);  // the low bits are Windows' own
    NameFile(fresh, "Load Profile", path.wstring() + L".toml");
    ASSERT_TRUE(WaitUntil([&] { return fresh.Shown(kApn) == "cmnet"; }));
    for (const auto& t : kTexts) {
        EXPECT_EQ(fresh.Shown(t.edit), t.text) << t.edit;
    }
    EXPECT_EQ(fresh.Selected(kWorkingModeList), kModeLongGprs);
    EXPECT_EQ(fresh.Selected(kWarningTypeList), 2);
    EXPECT_EQ(fresh.WaitForBox(0ms).window, nullptr);
}

TEST(Profiles, ABadProfileIsRefusedWithItsMessageAndTheFormKeepsItsValues) {
    TrackerForm values;
    values.userPassword = "12345";  // one digit too many
    const Selections chosen{0, 0, 0, 0, 0, 0};
    const std::string text = WriteProfile(values, chosen);
    int line = 0;
    std::istringstream lines(text);
    for (std::string row; std::getline(lines, row) && row.rfind("userPassword", 0) != 0;) {
        ++line;
    }
    const fs::path path = FreshProfile(L"bad.toml");
    std::ofstream(path, std::ios::binary) << text;

    RemoteForm form;
    form.Type(kUserPassword, "1234");
    form.Type(kApn, "cmnet");
    PostMenuCommand(form, kLoadProfileCommand);
    NameFile(form, "Load Profile", path);
    const OwnedBox box = form.WaitForBox();
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.caption, "Vorlen");
    EXPECT_EQ(box.text, GbkToUtf8(profile_text::Describe(profile_text::kTooLong, kEnglish,
                                                         line + 1, "userPassword", "4")));
    form.Answer(box, IDOK);
    EXPECT_EQ(form.Shown(kUserPassword), "1234");
    EXPECT_EQ(form.Shown(kApn), "cmnet");
}

void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (const WORD key : keys) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = key;
        inputs.push_back(down);
    }
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
        INPUT up{};
        up.type = INPUT_KEYBOARD;
        up.ki.wVk = *key;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(up);
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// The shortcuts shown in the window menu work from the keyboard, also in an edit.
TEST(WindowMenu, EachShortcutOpensWhatItsItemOpens) {
    RemoteForm form;
    const struct {
        std::initializer_list<WORD> keys;
        const char* caption;
        int closer;
    } cases[] = {
        {{VK_CONTROL, 'S'}, "Save Profile", IDCANCEL},
        {{VK_CONTROL, 'O'}, "Load Profile", IDCANCEL},
        {{VK_F1}, "About Vorlen", IDOK},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        ::SetForegroundWindow(form.Window());
        form.Focus(kLanguageList);
        PressKeys(c.keys);
        const OwnedBox box = form.WaitForBox();
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.caption, c.caption);
        form.Answer(box, c.closer);
    }
}

}  // namespace
}  // namespace vorlen::e2e
