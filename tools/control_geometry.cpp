// Tells scripts/demo what it needs to drive the real vorlen window from
// outside: the port list in the order the window shows it (the demo checks
// that its simulated tracker comes first, since vorlen opens the first entry
// at start), and every control's rectangle in pixels on this display, laid
// out exactly as the window lays it out. It builds the form with no ports, so
// it opens nothing; the machine's ports are only listed.
//
// Output, one item per line:
//   port NAME
//   control ID X Y WIDTH HEIGHT
#include <QApplication>
#include <cstdio>

#include "dialog/dialog_layout.h"
#include "qt/tracker_window.h"
#include "serial/enumerate_ports.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);

    vorlen::PortList ports;
    try {
        vorlen::EnumeratePorts(ports);
    } catch (const vorlen::PortEnumerationError& error) {
        std::fprintf(stderr, "%s\n", error.what());
    }
    for (const vorlen::PortInfo& port : ports) {
        std::printf("port %s\n", port.portName.c_str());
    }

    vorlen::TrackerConfigServices services;
    services.enumeratePorts = [](vorlen::PortList& none) { none.clear(); };
    services.openPort = [](const std::string&, vorlen::OpenFailure*) -> std::shared_ptr<vorlen::Port> {
        return nullptr;
    };
    const vorlen::TrackerWindow form(std::move(services));
    for (const vorlen::DialogControl& row : vorlen::DialogLayout()) {
        if (const QWidget* control = form.Control(row.id)) {
            const QRect r = control->geometry();
            std::printf("control %d %d %d %d %d\n", row.id, r.x(), r.y(), r.width(), r.height());
        }
    }
    return 0;
}
