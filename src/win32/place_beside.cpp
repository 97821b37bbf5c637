#include "win32/place_beside.h"

#include "dialog/window_placement.h"

namespace vorlen::win32 {

void PlaceBesideForm(HWND window, HWND form) {
    RECT owner;
    RECT own;
    if (form == nullptr || !::GetWindowRect(form, &owner) || !::GetWindowRect(window, &own)) {
        return;
    }
    MONITORINFO screen{};
    screen.cbSize = sizeof screen;
    ::GetMonitorInfoW(::MonitorFromWindow(form, MONITOR_DEFAULTTONEAREST), &screen);
    const RECT& area = screen.rcWork;
    const Rect place = BesideForm(
        {owner.left, owner.top, owner.right - owner.left, owner.bottom - owner.top},
        own.right - own.left, own.bottom - own.top,
        {area.left, area.top, area.right - area.left, area.bottom - area.top});
    ::SetWindowPos(window, nullptr, place.x, place.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void BringToFront(HWND window) {
    ::ShowWindow(window, ::IsIconic(window) ? SW_RESTORE : SW_SHOW);
    ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(window);
}

}  // namespace vorlen::win32
