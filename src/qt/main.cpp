// Vorlen: runs the tracker configuration form until the operator closes it.
// Nothing is kept between runs.
#include <QApplication>
#include <memory>
#include <string>

#include "qt/about_dialog.h"
#include "qt/tracker_window.h"
#include "serial/enumerate_ports.h"
#include "serial/open_port.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setWindowIcon(vorlen::ApplicationIcon());

    vorlen::TrackerConfigServices services;
    services.enumeratePorts = [](vorlen::PortList& ports) { vorlen::EnumeratePorts(ports); };
    services.openPort = [](const std::string& portName,
                           vorlen::OpenFailure* why) -> std::shared_ptr<vorlen::Port> {
        return vorlen::OpenPort(portName, why);
    };

    vorlen::TrackerWindow form(std::move(services));
    form.exec();
    return 0;
}
