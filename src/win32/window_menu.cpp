#include "win32/window_menu.h"

#include <array>
#include <vector>

#include "dialog/system_command.h"
#include "win32/wide_text.h"

namespace vorlen::win32 {
namespace {

struct Modifier {
    std::string_view prefix;
    BYTE flag;
};
constexpr std::array<Modifier, 3> kModifiers{{
    {"Ctrl+", FCONTROL},
    {"Shift+", FSHIFT},
    {"Alt+", FALT},
}};

std::optional<WORD> VirtualKeyOf(std::string_view key) {
    if (key.size() == 1 && ((key[0] >= 'A' && key[0] <= 'Z') || (key[0] >= '0' && key[0] <= '9'))) {
        return static_cast<WORD>(key[0]);
    }
    if (key.size() >= 2 && key.size() <= 3 && key[0] == 'F') {
        int number = 0;
        for (const char digit : key.substr(1)) {
            if (digit < '0' || digit > '9') {
                return std::nullopt;
            }
            number = number * 10 + (digit - '0');
        }
        if (number >= 1 && number <= 24) {
            return static_cast<WORD>(VK_F1 + number - 1);
        }
    }
    return std::nullopt;
}

const WindowMenuItem* ItemOf(unsigned command) {
    for (const WindowMenuItem& item : WindowMenuItems()) {
        if (item.command == command) {
            return &item;
        }
    }
    return nullptr;
}

}  // namespace

void AddWindowMenuItems(HWND form) {
    HMENU menu = ::GetSystemMenu(form, FALSE);
    if (menu == nullptr) {
        return;
    }
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    for (const WindowMenuItem& item : WindowMenuItems()) {
        if (item.command == kAboutCommand) {
            ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        }
        ::AppendMenuW(menu, MF_STRING, item.command, WideOfUtf8(item.caption.english).c_str());
    }
}

void SetWindowMenuCaption(HWND form, unsigned command, const std::wstring& caption) {
    const WindowMenuItem* item = ItemOf(command);
    HMENU menu = ::GetSystemMenu(form, FALSE);
    if (item == nullptr || menu == nullptr) {
        return;
    }
    std::wstring shown = caption;
    if (!item->shortcut.empty()) {
        shown += L'\t' + WideOfUtf8(item->shortcut);
    }
    ::ModifyMenuW(menu, command, MF_BYCOMMAND | MF_STRING, command, shown.c_str());
}

std::optional<unsigned> FormCommandOf(unsigned systemCommand) {
    const WindowMenuItem* item = ItemOf(systemCommand & 0xFFF0u);
    return item != nullptr ? std::optional<unsigned>(item->command) : std::nullopt;
}

std::optional<ACCEL> AcceleratorOf(std::string_view shortcut, WORD command) {
    BYTE flags = FVIRTKEY;
    for (bool found = true; found;) {
        found = false;
        for (const Modifier& modifier : kModifiers) {
            if (shortcut.substr(0, modifier.prefix.size()) == modifier.prefix) {
                flags |= modifier.flag;
                shortcut.remove_prefix(modifier.prefix.size());
                found = true;
            }
        }
    }
    const std::optional<WORD> key = VirtualKeyOf(shortcut);
    if (!key) {
        return std::nullopt;
    }
    return ACCEL{flags, *key, command};
}

HACCEL CreateWindowMenuAccelerators() {
    std::vector<ACCEL> table;
    for (const WindowMenuItem& item : WindowMenuItems()) {
        if (const std::optional<ACCEL> accelerator =
                AcceleratorOf(item.shortcut, static_cast<WORD>(item.command))) {
            table.push_back(*accelerator);
        }
    }
    return ::CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
}

}  // namespace vorlen::win32
