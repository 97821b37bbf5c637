// The form's layout as data: every control of the tracker tool's dialog with
// its place in dialog units, and what the dialog does when the operator
// works it. The window is built from this table, and the enabling rules find
// a group's members by containment in it.
#pragma once

#include <span>
#include <string_view>

namespace vorlen {

enum class ControlKind {
    PushButton,
    Edit,
    DropDownList,
    CheckBox,
    Label,
    GroupBox,
};

// A rectangle in dialog units (the layout: a quarter of the dialog font's
// average character width horizontally, an eighth of its height vertically)
// or in pixels (the window).
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    int Right() const { return x + width; }
    int Bottom() const { return y + height; }
    bool operator==(const Rect&) const = default;
};

namespace control_flag {
inline constexpr unsigned kHidden = 1u << 0;
inline constexpr unsigned kMultiLine = 1u << 1;  // a caption that wraps, or a multi-line edit
inline constexpr unsigned kReadOnly = 1u << 2;
inline constexpr unsigned kVerticalScroll = 1u << 3;
inline constexpr unsigned kCentered = 1u << 4;
// A list whose entries can be wider than it: a tip shows them in full.
inline constexpr unsigned kShowsTips = 1u << 5;
}  // namespace control_flag

// What the dialog does when the operator works a control: a press of a
// button or of the check box, or a pick in a list (the operator's only,
// never the program's own selecting). The window forwards every such event
// by the control's id and the dialog looks its reaction up here.
enum class Reaction {
    None,
    Press,  // the button's command, or the wake-up
    FenceOpenClick,
    PortChange,
    LanguageChange,
    FenceTypeChange,
    WorkingModeChange,
};

// The untitled group boxes that no rule addresses carry this id.
inline constexpr int kNoControlId = -1;

struct DialogControl {
    int id;
    ControlKind kind;
    Rect rect;  // dialog units
    std::string_view caption;  // UTF-8; the Chinese caption the form is drawn with
    unsigned flags;
    Reaction reaction = Reaction::None;

    bool Has(unsigned flag) const { return (flags & flag) != 0; }
};

inline constexpr Rect kFormRect{0, 0, 472, 325};

// A drop-down list's rectangle includes its open list; closed, it is as high
// as an edit. Its open list shows rows of this height.
inline constexpr int kClosedListHeight = 14;
inline constexpr int kListRowHeight = 8;

// The rectangle a control takes on the form: a drop-down list's closed field.
Rect FieldRect(const DialogControl& control);

// How many entries a drop-down list's open list shows at once.
int OpenListRows(const DialogControl& list);

// The controls in creation order, which is also the keyboard focus order.
std::span<const DialogControl> DialogLayout();

// The row of a control, or null when the form has no control with that id.
const DialogControl* FindDialogControl(int id);

// A group box's members are the controls inside its rectangle, edges
// included, the box itself among them.
bool Contains(const Rect& outer, const Rect& inner);

}  // namespace vorlen
