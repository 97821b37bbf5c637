// A bare dialog for the start-up benchmark to compare vorlen.exe with: one
// line of text and an OK button in the form's font, made the same way from
// an in-memory template, with the same manifest and the same DLLs, so that
// loading them costs both the same.
#include <windows.h>

#include <commctrl.h>

#include <array>
#include <vector>

#include "same_imports.h"
#include "win32/dialog_template.h"
#include "win32/form_template.h"

namespace {

using namespace vorlen::win32;

INT_PTR CALLBACK BareProc(HWND box, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        ::EndDialog(box, IDOK);
        return TRUE;
    }
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

int RunBareDialog(HINSTANCE instance) {
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&classes);
    const std::array<TemplateControl, 2> controls{{
        {ControlClass::Static, SS_LEFT | WS_VISIBLE, {10, 10, 150, 8}, -1, L"A bare dialog"},
        {ControlClass::Button, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_VISIBLE, {60, 30, 50, 14}, IDOK,
         L"OK"},
    }};
    const TemplateFrame frame{DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 0,
                              {0, 0, 170, 55}, L"Bare", kFormFont, kFormPointSize};
    const std::vector<WORD> bare = BuildDialogTemplate(frame, controls);
    ::DialogBoxIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(bare.data()), nullptr,
                              BareProc, 0);
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return RunBareDialog(instance); }
