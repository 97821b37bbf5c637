// The common file dialog that names a profile file.
#pragma once

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>

namespace vorlen::win32 {

// Modal over `owner`. Saving asks before an existing file is replaced;
// loading takes only a file that exists. Nothing when the operator cancels.
std::optional<std::filesystem::path> AskProfilePath(HWND owner, const std::wstring& caption,
                                                    bool forSaving);

}  // namespace vorlen::win32
