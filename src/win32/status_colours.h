// The look table's colours (dialog/look.h) as the window system takes them:
// the status box green for a success, red for a failure.
#pragma once

#include <windows.h>

#include "dialog/look.h"

namespace vorlen::win32 {

inline COLORREF ColourRef(Rgb colour) { return RGB(colour.red, colour.green, colour.blue); }

inline const COLORREF kSuccessColour = ColourRef(*StatusColour(StatusMark::Success));
inline const COLORREF kFailureColour = ColourRef(*StatusColour(StatusMark::Failure));

}  // namespace vorlen::win32
