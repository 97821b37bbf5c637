// The items the form adds to the window menu: the system menu on Windows, the
// context menu and its shortcuts on Linux. Windows keeps the low four bits of
// a system command for its own use, so a command is compared with the low
// four bits masked off: 0x0010 to 0x001F all mean the about item.
#pragma once

#include <span>
#include <string_view>

#include "model/bilingual.h"

namespace vorlen {

inline constexpr unsigned kAboutCommand = 0x0010;
inline constexpr unsigned kSaveProfileCommand = 0x0020;
inline constexpr unsigned kLoadProfileCommand = 0x0030;
inline constexpr unsigned kLineMonitorCommand = 0x0040;
inline constexpr unsigned kFleetStationCommand = 0x0050;

constexpr unsigned MenuCommandOf(unsigned command) { return command & 0xFFF0u; }

constexpr bool OpensAboutBox(unsigned command) { return MenuCommandOf(command) == kAboutCommand; }

struct WindowMenuItem {
    unsigned command;
    Bilingual caption;         // '&' marks the access key
    std::string_view shortcut;  // in the "Ctrl+S" form; empty for none
};

// In menu order, the about item last, under a separator.
std::span<const WindowMenuItem> WindowMenuItems();

}  // namespace vorlen
