// The form's items in its window menu (the system menu), with each item's
// shortcut shown after a tab and working from the keyboard.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace vorlen::win32 {

// Appends the items below the system menu's own, the about item last under
// a separator. Their captions come with the language (SetWindowMenuCaption).
void AddWindowMenuItems(HWND form);

void SetWindowMenuCaption(HWND form, unsigned command, const std::wstring& caption);

// The form's item a system command belongs to, as the form knows it; nothing
// for a command of the system's own. Windows keeps a system command's low
// four bits for its own use, so 0x0010 to 0x001F all mean the about item:
// they are masked off here, and only here.
std::optional<unsigned> FormCommandOf(unsigned systemCommand);

// The key of a shortcut written as "Ctrl+S" or "F1"; nothing for a text
// that names no key.
std::optional<ACCEL> AcceleratorOf(std::string_view shortcut, WORD command);

// The table of every item's shortcut; the caller destroys it.
HACCEL CreateWindowMenuAccelerators();

}  // namespace vorlen::win32
