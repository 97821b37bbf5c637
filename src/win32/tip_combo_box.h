// A drop-down list combo box that shows a truncated entry in full.
//
// While the mouse rests on the field and the selected text is wider than
// the field, the whole text shows in a tip laid over the field's own text,
// in the field's font and colours, so that it visibly continues past the
// control's edge. The open list does the same for the line under the mouse,
// in the colours of a highlighted line. A tip goes when the mouse leaves
// (checked every 80 ms, as a control hears of no mouse move once the cursor
// has left it), when the list opens over the field, and when the control
// or its list is hidden.
#pragma once

#include <windows.h>

#include <vector>

namespace vorlen::win32 {

// How often a shown tip checks that the cursor is still where it belongs.
inline constexpr UINT kTipCheckMs = 80;

// Gives the combo box (CBS_DROPDOWNLIST) and its list their tips, for the
// combo's whole life. Once per combo.
void AttachTipComboBox(HWND combo);

// Gives combo boxes their tips when the mouse first moves over one or its
// open list: until then a combo costs nothing (each tip is a window, and
// every message to a subclassed window costs a property look-up).
class TipsOnFirstHover {
public:
    void Add(HWND combo);
    // Called with every message before it is dispatched.
    void Notice(const MSG& message);

private:
    struct Waiting {
        HWND combo;
        HWND list;
    };
    std::vector<Waiting> waiting_;
};

}  // namespace vorlen::win32
