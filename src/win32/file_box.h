// Windows' own Save As and Open boxes, with comdlg32 loaded when the first
// box opens.
#pragma once

#include <windows.h>

#include <commdlg.h>

namespace vorlen::win32 {

// GetSaveFileNameW (forSaving) or GetOpenFileNameW with `ask`; false when
// the operator cancels, or when the boxes cannot be loaded.
bool ShowFileBox(OPENFILENAMEW& ask, bool forSaving);

}  // namespace vorlen::win32
