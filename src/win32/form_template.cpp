#include "win32/form_template.h"

#include <array>
#include <string>

#include "dialog/dialog_layout.h"
#include "dialog/tracker_config_dialog.h"
#include "model/find_row.h"
#include "win32/dialog_template.h"
#include "win32/wide_text.h"

namespace vorlen::win32 {
namespace {

using namespace control_flag;

// Each kind of control: its window class and styles, and the styles a flag
// of its row adds. No push button is a default button: Enter must not send.
struct KindStyle {
    ControlKind kind;
    ControlClass windowClass;
    DWORD style;
    DWORD multiLine;
};
constexpr std::array<KindStyle, 6> kKindStyles{{
    {ControlKind::PushButton, ControlClass::Button, BS_PUSHBUTTON | WS_TABSTOP, BS_MULTILINE},
    {ControlKind::Edit, ControlClass::Edit, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP,
     ES_MULTILINE | ES_AUTOVSCROLL},
    {ControlKind::DropDownList, ControlClass::ComboBox, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
     0},
    {ControlKind::CheckBox, ControlClass::Button, BS_AUTOCHECKBOX | WS_TABSTOP, 0},
    {ControlKind::Label, ControlClass::Static, SS_LEFT | SS_NOPREFIX, 0},
    {ControlKind::GroupBox, ControlClass::Button, BS_GROUPBOX, 0},
}};

DWORD StyleOf(const DialogControl& row, const KindStyle& kind) {
    DWORD style = kind.style;
    if (!row.Has(kHidden)) {
        style |= WS_VISIBLE;
    }
    if (TrackerConfigDialog::LockedAtStart(row.id)) {
        style |= WS_DISABLED;
    }
    if (row.Has(kMultiLine)) {
        style |= kind.multiLine;
    }
    if (row.Has(kReadOnly)) {
        style |= ES_READONLY;
    }
    if (row.Has(kVerticalScroll)) {
        style |= WS_VSCROLL;
    }
    if (row.Has(kCentered)) {
        style = (style & ~static_cast<DWORD>(SS_LEFT)) | SS_CENTER;
    }
    return style;
}

// A drop-down list's rectangle includes its open list, which is what a
// combo box is created with; the closed field's height follows the font.
// Each control is made as the form's start-up leaves it (English captions,
// the configuration area disabled), so the start-up changes nothing on it.
TemplateControl ControlOf(const DialogControl& row) {
    const KindStyle* kind = FindRow(std::span<const KindStyle>(kKindStyles), &KindStyle::kind, row.kind);
    const std::string caption = TrackerConfigDialog::CaptionAtStart(row.id);
    return {kind->windowClass, StyleOf(row, *kind), row.rect, row.id,
            WideOfUtf8(caption.empty() ? std::string(row.caption) : caption)};
}

}  // namespace

std::vector<WORD> FormTemplate() {
    std::vector<TemplateControl> controls;
    for (const DialogControl& row : DialogLayout()) {
        controls.push_back(ControlOf(row));
    }
    const TemplateFrame frame{
        DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
        WS_EX_APPWINDOW,
        kFormRect,
        WideOfUtf8(TrackerConfigDialog::kProgramName),
        kFormFont,
        kFormPointSize,
    };
    return BuildDialogTemplate(frame, controls);
}

}  // namespace vorlen::win32
