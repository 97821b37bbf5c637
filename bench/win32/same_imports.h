// One function of each DLL that vorlen.exe imports at start, for the
// programs the start-up benchmark compares it with: naming them makes the
// loader map those DLLs at start as it does for vorlen.exe, so loading them
// costs every program alike.
#pragma once

#include <windows.h>

#include <setupapi.h>
#include <shellapi.h>
#include <uxtheme.h>

[[gnu::used]] inline const void* const kVorlenImports[] = {
    reinterpret_cast<const void*>(&::RegCloseKey),
    reinterpret_cast<const void*>(&::SetupDiDestroyDeviceInfoList),
    reinterpret_cast<const void*>(&::SetWindowTheme),
    reinterpret_cast<const void*>(&::GetStockObject),
    reinterpret_cast<const void*>(&::CommandLineToArgvW),
};
