// The colours of an outcome, as the form's status box shows it: green for a
// success, red for a failure; the station's tiles show the same.
#pragma once

#include <windows.h>

namespace vorlen::win32 {

inline constexpr COLORREF kSuccessColour = RGB(0, 255, 0);
inline constexpr COLORREF kFailureColour = RGB(255, 0, 0);

}  // namespace vorlen::win32
