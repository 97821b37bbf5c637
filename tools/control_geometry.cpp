// Tells scripts/demo what it needs to drive the real vorlen window from
// outside: every control's rectangle in pixels on this display, laid out
// exactly as the window lays it out. It builds the form with no ports, so it
// opens nothing.
//
// Output, one control a line:
//   control ID X Y WIDTH HEIGHT
#include <QApplication>
#include <cstdio>

#include "dialog/dialog_layout.h"
#include "qt/tracker_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);

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
