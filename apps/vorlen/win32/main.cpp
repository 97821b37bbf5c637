// Vorlen on Windows: runs the tracker configuration form (with its line
// monitor and fleet station beside it when the operator opens them) until
// the operator closes the form. Nothing is kept between runs.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "dialog/start_options.h"
#include "dialog/tracker_config_services.h"
#include "serial/open_port.h"
#include "win32/tracker_window.h"
#include "win32/wide_text.h"

namespace {

std::vector<std::string> Arguments() {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide != nullptr && i < count; ++i) {
        arguments.push_back(vorlen::Utf8OfWide(wide[i]));
    }
    ::LocalFree(wide);
    return arguments;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // A window program has no console to print to: help, the version and a
    // complaint about the command line come in a message box.
    const vorlen::StartCommandLine line =
        vorlen::ReadStartCommandLine(Arguments(), vorlen::PortExists);
    if (!line.text.empty()) {
        ::MessageBoxW(nullptr, vorlen::WideOfUtf8(line.text).c_str(), L"Vorlen",
                      line.exitCode ? MB_OK | MB_ICONINFORMATION : MB_OK | MB_ICONWARNING);
    }
    if (line.exitCode) {
        return *line.exitCode;
    }

    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);


    vorlen::win32::TrackerWindow form(vorlen::RealTrackerConfigServices(line.options), instance);
    form.Run();
    return 0;
}
