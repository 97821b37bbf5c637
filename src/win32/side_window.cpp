#include "win32/side_window.h"

namespace vorlen::win32 {

Rect FrameOf(HWND window) {
    RECT frame{};
    if (window == nullptr || !::GetWindowRect(window, &frame)) {
        return {};
    }
    return {frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top};
}

void Win32SideWindow::Move(int x, int y) {
    ::SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32SideWindow::ShowAndRaise() {
    if (window_ == nullptr) {
        return;
    }
    ::ShowWindow(window_, ::IsIconic(window_) ? SW_RESTORE : SW_SHOW);
    ::SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(window_);
}

bool Win32SideWindow::OnResizing(UINT message, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        LayOut(LOWORD(lParam), HIWORD(lParam));
        return true;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {minimumSize_.cx, minimumSize_.cy};
        return true;
    default:
        return false;
    }
}

bool Win32SideWindow::IsDialogMessage(MSG* message) {
    return window_ != nullptr && ::IsDialogMessageW(window_, message);
}

}  // namespace vorlen::win32
