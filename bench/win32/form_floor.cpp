// The form's floor for the start-up benchmark: vorlen.exe's form made the
// same way (the same template from the layout table, the same modeless
// dialog shown and painted, the same message loop), with a dialog procedure
// that does nothing: no port listed or opened, no list filled, no window
// menu, no icon. What vorlen.exe takes beyond this is its own start-up work;
// what this takes beyond a bare dialog is the form's windows.
#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "same_imports.h"
#include "win32/form_template.h"

namespace {

// Closing ends the loop, as closing the form does.
INT_PTR CALLBACK DoNothing(HWND form, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_CLOSE || (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL)) {
        ::DestroyWindow(form);
        ::PostQuitMessage(0);
        return TRUE;
    }
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

int RunFloor(HINSTANCE instance) {
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&classes);
    const std::vector<WORD> form = vorlen::win32::FormTemplate();
    HWND window = ::CreateDialogIndirectParamW(
        instance, reinterpret_cast<LPCDLGTEMPLATEW>(form.data()), nullptr, DoNothing, 0);
    if (window == nullptr) {
        return 1;
    }
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::UpdateWindow(window);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!::IsDialogMessageW(window, &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return RunFloor(instance); }
