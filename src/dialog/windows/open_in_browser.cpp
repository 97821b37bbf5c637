#include <windows.h>

#include <shellapi.h>

#include "dialog/station_controller.h"

namespace vorlen::fleet {

// The shell opens the file with the program the user chose for web pages.
bool OpenInBrowser(const std::filesystem::path& file) {
    const auto opened = reinterpret_cast<INT_PTR>(ShellExecuteW(
        nullptr, L"open", file.wstring().c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return opened > 32;
}

}  // namespace vorlen::fleet
