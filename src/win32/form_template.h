// The tracker form as a dialog template, made from the layout table: every
// control at its rectangle in dialog units with its id, in the table's order.
#pragma once

#include <windows.h>

#include <vector>

namespace vorlen::win32 {

// The form's font: the dialog font that Windows resolves on each system
// (with DS_SHELLFONT, "MS Shell Dlg 2", Tahoma or Segoe UI) and links to its
// Chinese fonts, so the Chinese captions show on an English, German or
// Spanish Windows too. "MS Sans Serif" is a bitmap font without Chinese
// characters that Windows links to nothing: they would show as boxes.
inline constexpr wchar_t kFormFont[] = L"MS Shell Dlg";
inline constexpr WORD kFormPointSize = 8;

std::vector<WORD> FormTemplate();

}  // namespace vorlen::win32
