// Vorlen: runs the tracker configuration form until the operator closes it.
// Nothing is kept between runs.
#include <QApplication>
#include <QScreen>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "dialog/start_options.h"
#include "dialog/window_placement.h"
#include "qt/station_window.h"
#include "qt/about_dialog.h"
#include "qt/tracker_window.h"
#include "serial/enumerate_ports.h"
#include "serial/open_port.h"

namespace {

vorlen::StartCommandLine ReadCommandLine(int argc, char** argv) {
    return vorlen::ReadStartCommandLine(std::vector<std::string>(argv + 1, argv + argc),
                                        vorlen::PortExists);
}

// The fleet station, made when the window menu first asks for it and placed
// beside the form once; it speaks the form's language and never offers the
// port the form holds.
void OpenStation(vorlen::TrackerWindow& form,
                 std::unique_ptr<vorlen::fleet::FleetStationWindow>& station) {
    if (!station) {
        station = std::make_unique<vorlen::fleet::FleetStationWindow>(
            vorlen::fleet::RealStationServices(
                [&form] { return form.Dialog().PortInUse(); }),
            form.Dialog().Language(), &form);
        const QRect frame = form.frameGeometry();
        const QRect area = form.screen()->availableGeometry();
        const QSize size = station->frameGeometry().size();
        const vorlen::Rect place =
            vorlen::BesideForm({frame.x(), frame.y(), frame.width(), frame.height()},
                               size.width(), size.height(),
                               {area.x(), area.y(), area.width(), area.height()});
        station->move(place.x, place.y);
    }
    station->SetLanguage(form.Dialog().Language());
    station->ShowAndRaise();
}

}  // namespace

int main(int argc, char** argv) {
    // --help and --version answer without a display; Qt's own options (such
    // as -platform) are read by QApplication, which takes them out of argv.
    if (const vorlen::StartCommandLine early = ReadCommandLine(argc, argv); early.exitCode) {
        std::cout << early.text;
        return *early.exitCode;
    }
    QApplication app(argc, argv);
    QApplication::setWindowIcon(vorlen::ApplicationIcon());
    const vorlen::StartCommandLine line = ReadCommandLine(argc, argv);
    if (!line.text.empty()) {
        std::cerr << line.text << '\n';
    }

    vorlen::TrackerConfigServices services;
    services.enumeratePorts = [](vorlen::PortList& ports) { vorlen::EnumeratePorts(ports); };
    services.openPort = [](const std::string& portName,
                           vorlen::OpenFailure* why) -> std::shared_ptr<vorlen::Port> {
        return vorlen::OpenPort(portName, why);
    };
    services.start = line.options;

    vorlen::TrackerWindow form(std::move(services));
    std::unique_ptr<vorlen::fleet::FleetStationWindow> station;
    form.SetStationOpener([&form, &station] { OpenStation(form, station); });
    form.SetLanguageFollower([&station](int language) {
        if (station) {
            station->SetLanguage(language);
        }
    });
    form.exec();
    station.reset();
    return 0;
}
