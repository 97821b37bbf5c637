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

// True for a system command that belongs to one of the form's items.
bool IsWindowMenuCommand(unsigned command);

// The key of a shortcut written as "Ctrl+S" or "F1"; nothing for a text
// that names no key.
std::optional<ACCEL> AcceleratorOf(std::string_view shortcut, WORD command);

// The table of every item's shortcut; the caller destroys it.
HACCEL CreateWindowMenuAccelerators();

}  // namespace vorlen::win32
