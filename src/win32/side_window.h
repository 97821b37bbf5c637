// A Win32 window the form keeps beside it (dialog/side_windows.h), made by
// CreateDialogIndirectParamW with ObjectDialogProc: its frame, a move, its
// showing above the others, and its keyboard in the owner's message loop.
#pragma once

#include <windows.h>

#include "dialog/side_windows.h"

namespace vorlen::win32 {

// The window's frame on the screen; nothing for no window.
Rect FrameOf(HWND window);

class Win32SideWindow : public SideWindow {
public:
    Rect Frame() const override { return FrameOf(window_); }
    void Move(int x, int y) override;
    // Shows the window, restored when minimised, above the others and active.
    void ShowAndRaise() override;

    // False when the window system could not make the window.
    bool Made() const { return window_ != nullptr; }

    // For the owner's message loop: true when the message was the window's
    // keyboard input and has been handled.
    bool IsDialogMessage(MSG* message);

protected:
    // Lays the controls out for a client area of this size.
    virtual void LayOut(int width, int height) = 0;
    // Resizing: WM_SIZE lays the controls out again, WM_GETMINMAXINFO keeps
    // the window at least minimumSize_. False for any other message.
    bool OnResizing(UINT message, LPARAM lParam);

    HWND window_ = nullptr;  // null until made, and once destroyed
    SIZE minimumSize_{};     // pixels, set when the window is made
};

}  // namespace vorlen::win32
