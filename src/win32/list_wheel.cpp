#include "win32/list_wheel.h"

#include <commctrl.h>

namespace vorlen::win32 {
namespace {

constexpr UINT_PTR kWheelSubclass = 1;

LRESULT CALLBACK WheelProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR) {
    if (message == WM_MOUSEWHEEL && ::GetFocus() != list) {
        return 0;
    }
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(list, WheelProc, kWheelSubclass);
    }
    return ::DefSubclassProc(list, message, wParam, lParam);
}

}  // namespace

void KeepWheelToFocusedList(HWND list) {
    if (list != nullptr) {
        ::SetWindowSubclass(list, WheelProc, kWheelSubclass, 0);
    }
}

}  // namespace vorlen::win32
