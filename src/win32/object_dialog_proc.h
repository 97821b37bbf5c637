// The dialog procedure of a window object made with CreateDialogIndirectParamW:
// WM_INITDIALOG's parameter is the object, kept in DWLP_USER until the
// window is destroyed, and every other message goes to its OnMessage. The
// object's class befriends the procedure and has window_, OnInitDialog() and
// OnMessage(message, wParam, lParam).
#pragma once

#include <windows.h>

namespace vorlen::win32 {

template <class Object>
INT_PTR CALLBACK ObjectDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
        auto* self = reinterpret_cast<Object*>(lParam);
        self->window_ = window;
        self->OnInitDialog();
        return TRUE;
    }
    auto* self = reinterpret_cast<Object*>(::GetWindowLongPtrW(window, DWLP_USER));
    if (self == nullptr) {
        return FALSE;
    }
    if (message == WM_NCDESTROY) {
        self->window_ = nullptr;
        ::SetWindowLongPtrW(window, DWLP_USER, 0);
        return FALSE;
    }
    return self->OnMessage(message, wParam, lParam);
}

}  // namespace vorlen::win32
