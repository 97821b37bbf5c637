// A dialog template built in memory, so the window is made by the Windows
// dialog manager from a table instead of a compiled resource: Windows then
// turns the dialog units into pixels with the dialog font, as for any
// resource dialog.
#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <vector>

#include "dialog/dialog_layout.h"

namespace vorlen::win32 {

// The predefined window classes a template names by number.
enum class ControlClass : WORD {
    Button = 0x0080,
    Edit = 0x0081,
    Static = 0x0082,
    ListBox = 0x0083,
    ComboBox = 0x0085,
};

struct TemplateControl {
    ControlClass windowClass;
    DWORD style;  // WS_CHILD is added
    Rect rect;    // dialog units
    int id;
    std::wstring text;
    WORD resource = 0;  // instead of the text: an icon resource for an icon static
};

struct TemplateFrame {
    DWORD style;
    DWORD extendedStyle;
    Rect rect;
    std::wstring caption;
    std::wstring font;
    WORD pointSize;
};

// A DLGTEMPLATEEX with its items, in the frame's font as the shell's dialogs
// use it (DS_SHELLFONT), in the order given, which is also the
// keyboard focus order. The vector's storage is aligned as the dialog manager
// needs it.
std::vector<WORD> BuildDialogTemplate(const TemplateFrame& frame,
                                      std::span<const TemplateControl> controls);

}  // namespace vorlen::win32
