// Identifiers of the program's resources (vorlen.rc).
#pragma once

#define VORLEN_ICON 128

#ifndef RC_INVOKED
namespace vorlen::win32 {
inline constexpr int kFormIcon = VORLEN_ICON;
}  // namespace vorlen::win32
#endif
