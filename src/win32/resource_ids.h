// Identifiers of the program's resources (vorlen.rc).
#pragma once

#define VORLEN_ICON 128
#define VORLEN_ABOUT_ITEM_TEXT 101

#ifndef RC_INVOKED
namespace vorlen::win32 {
inline constexpr int kFormIcon = VORLEN_ICON;
inline constexpr int kAboutItemText = VORLEN_ABOUT_ITEM_TEXT;
}  // namespace vorlen::win32
#endif
