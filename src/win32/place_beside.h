// A second window of the form's, placed beside it on the form's screen at its
// first showing (dialog/window_placement.h), so that both are seen.
#pragma once

#include <windows.h>

namespace vorlen::win32 {

// Moves `window`, keeping its size; does nothing without a form.
void PlaceBesideForm(HWND window, HWND form);

// Shows `window`, restored when minimised, above the others and active.
void BringToFront(HWND window);

}  // namespace vorlen::win32
