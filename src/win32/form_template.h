// The tracker form as a dialog template, made from the layout table: every
// control at its rectangle in dialog units with its id, in the table's order.
#pragma once

#include <windows.h>

#include <vector>

namespace vorlen::win32 {

// The form's caption and font.
inline constexpr wchar_t kFormFont[] = L"MS Sans Serif";
inline constexpr WORD kFormPointSize = 8;

std::vector<WORD> FormTemplate();

}  // namespace vorlen::win32
