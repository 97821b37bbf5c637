// The about box, reached from the window menu's about item.
#pragma once

#include <windows.h>

namespace vorlen::win32 {

// Modal over `owner`; returns when the operator has closed it.
void ShowAboutBox(HINSTANCE instance, HWND owner);

}  // namespace vorlen::win32
