// Where a side window goes so that the form stays in sight: the line monitor
// and the station open beside the form (side_windows.h), never over it when
// the screen has room.
#pragma once

#include "dialog/dialog_layout.h"

namespace vorlen {

// The place for a window of `width` x `height` beside `form`, all in screen
// pixels, on `screen` (the usable area of the form's screen): right of the
// form when it fits there, else left of it, else against the screen's edge
// on the roomier side; level with the form's top, moved up as far as the
// screen's bottom needs.
Rect BesideForm(const Rect& form, int width, int height, const Rect& screen);

}  // namespace vorlen
