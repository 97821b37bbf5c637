#include "win32/about_box.h"

#include <array>

#include "win32/dialog_template.h"
#include "win32/form_template.h"
#include "win32/resource_ids.h"

namespace vorlen::win32 {

// Laid out in dialog units like the form, with its font.
std::vector<WORD> AboutTemplate() {
    const std::array<TemplateControl, 4> controls{{
        {ControlClass::Static, SS_ICON | WS_VISIBLE, {11, 17, 20, 20}, -1, L"", kFormIcon},
        {ControlClass::Static, SS_LEFT | SS_NOPREFIX | WS_VISIBLE, {40, 10, 119, 8}, -1,
         L"Vorlen Version 1.04"},
        {ControlClass::Static, SS_LEFT | WS_VISIBLE, {40, 25, 119, 8}, -1,
         L"GPS/GPRS tracker set-up"},
        {ControlClass::Button, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_VISIBLE, {178, 7, 50, 14}, IDOK,
         L"OK"},
    }};
    const TemplateFrame frame{DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0,
                              {0, 0, 235, 55}, L"About Vorlen", kFormFont, kFormPointSize};
    return BuildDialogTemplate(frame, controls);
}

namespace {

INT_PTR CALLBACK AboutProc(HWND box, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        ::EndDialog(box, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void ShowAboutBox(HINSTANCE instance, HWND owner) {
    const std::vector<WORD> about = AboutTemplate();
    ::DialogBoxIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(about.data()), owner,
                              AboutProc, 0);
}

}  // namespace vorlen::win32
