// A wheel turned over a list the operator is not working in must not change
// it: over the port list that would reopen the port. Windows may send the
// wheel to the window under the pointer, whatever has the focus.
#pragma once

#include <windows.h>

namespace vorlen::win32 {

// From now on the list changes under the wheel only while it has the focus.
void KeepWheelToFocusedList(HWND list);

}  // namespace vorlen::win32
