// Vorlen on Windows: runs the tracker configuration form until the operator
// closes it. Nothing is kept between runs.
#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>

#include "serial/enumerate_ports.h"
#include "serial/open_port.h"
#include "win32/tracker_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    vorlen::TrackerConfigServices services;
    services.enumeratePorts = [](vorlen::PortList& ports) { vorlen::EnumeratePorts(ports); };
    services.openPort = [](const std::string& portName,
                           vorlen::OpenFailure* why) -> std::shared_ptr<vorlen::Port> {
        return vorlen::OpenPort(portName, why);
    };

    vorlen::win32::TrackerWindow form(std::move(services), instance);
    form.Run();
    return 0;
}
