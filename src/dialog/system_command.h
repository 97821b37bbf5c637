// The items the form adds to the window menu: the system menu on Windows, the
// context menu and its shortcuts on Linux. Their commands are multiples of
// 0x10, so that they can stand in the Windows system menu, whose low four
// bits Windows keeps for its own use; the form is given them exact.
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

struct WindowMenuItem {
    unsigned command;
    Bilingual caption;         // '&' marks the access key
    std::string_view shortcut;  // in the "Ctrl+S" form; empty for none
};

// In menu order, the about item last, under a separator.
std::span<const WindowMenuItem> WindowMenuItems();

}  // namespace vorlen
