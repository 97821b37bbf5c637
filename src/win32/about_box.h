// The about box, reached from the window menu's about item.
#pragma once

#include <windows.h>

#include <vector>

namespace vorlen::win32 {

// The about box's dialog template, in the form's font.
std::vector<WORD> AboutTemplate();

// Modal over `owner`; returns when the operator has closed it.
void ShowAboutBox(HINSTANCE instance, HWND owner);

}  // namespace vorlen::win32
