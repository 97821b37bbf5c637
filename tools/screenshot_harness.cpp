// Shows the real form on the X display with a pseudo-terminal as its only
// port, and saves what the screen shows: first in English, then with the
// mouse resting on the port list whose name is cut off (its tip shows the
// whole name), then after the operator's switch to Chinese, and last the
// line monitor beside the form after a read-back from the simulated
// tracker, and the fleet station with eight simulated trackers in its slots.
// Used by scripts/screenshots; never touches the machine's own serial
// ports, nor the user's journal.
#include "qt/station_window.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QComboBox>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>
#include <map>
#include <memory>
#include <vector>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "dialog/system_command.h"
#include "sim/fleet_profile.h"
#include "profile/profile_file.h"
#include "model/control_ids.h"
#include "qt/line_monitor_window.h"
#include "qt/tracker_window.h"
#include "serial/posix/serial_port.h"
#include "sim/sim_process.h"

namespace {

// Grabs the screen where the form is, so a tip that continues past the
// form's edge is in the picture too.
bool SaveScreen(vorlen::TrackerWindow& form, const QString& file) {
    QTest::qWait(300);
    const QRect frame = form.frameGeometry();
    const QPixmap shot = form.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    if (!shot.save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    return true;
}

// The form on a simulated tracker, read back, with the monitor beside it.
bool SaveMonitor(vorlen::TrackerWindow& form, const QString& file) {
    vorlen::test::SimProcess tracker({"--awake"});
    vorlen::TrackerConfigServices services;
    services.enumeratePorts = [&tracker](vorlen::PortList& ports) {
        ports = {vorlen::PortInfo{tracker.LinkPath(), tracker.LinkPath(), "Virtual serial port", 0,
                                  "Virtual serial port"}};
    };
    services.openPort = [](const std::string& name, vorlen::OpenFailure* why) -> std::shared_ptr<vorlen::Port> {
        return vorlen::OpenPort(name, why);
    };
    vorlen::TrackerWindow tracked(std::move(services));
    tracked.move(form.pos());
    tracked.show();
    if (!QTest::qWaitForWindowExposed(&tracked)) {
        return false;
    }
    tracked.Dialog().UnlockConfigArea();
    tracked.Dialog().OnButtonClicked(vorlen::control::kReadConfig);
    tracked.Dialog().OnSystemCommand(vorlen::kLineMonitorCommand);
    auto* monitor = tracked.findChild<vorlen::LineMonitorWindow*>();
    if (monitor == nullptr || !QTest::qWaitForWindowExposed(monitor)) {
        return false;
    }
    monitor->resize(700, tracked.height());
    QTest::qWait(300);
    // Side by side as they stand on a desktop, each drawn by itself.
    const QPixmap formShot = tracked.grab();
    const QPixmap monitorShot = monitor->grab();
    QPixmap both(formShot.width() + 8 + monitorShot.width(),
                 std::max(formShot.height(), monitorShot.height()));
    both.fill(Qt::darkGray);
    QPainter painter(&both);
    painter.drawPixmap(0, 0, formShot);
    painter.drawPixmap(formShot.width() + 8, 0, monitorShot);
    painter.end();
    return both.save(file);
}

// The station's eight slots as USB adapters' sockets, each a simulated
// tracker: five answer and are configured, one refuses a setting and fails
// (its tile offers Retry), one answers slowly and is still being worked on,
// and one stays silent, so its slot waits for a tracker.
bool SaveStation(vorlen::TrackerWindow& form, const QString& file) {
    using namespace vorlen::fleet;
    QTemporaryDir folder;
    ::setenv("XDG_DATA_HOME", folder.path().toLocal8Bit().constData(), 1);
    const std::string profile = folder.filePath(QStringLiteral("fleet.toml")).toStdString();
    const vorlen::Profile fleet = vorlen::test::FleetProfile();
    if (!vorlen::SaveProfileFile(profile, fleet.form, fleet.selections)) {
        return false;
    }
    const std::vector<std::vector<std::string>> trackers{
        {"--imei", "864507030000017"}, {"--imei", "864507030000025"},
        {"--imei", "864507030000033"}, {"--imei", "864507030000041"},
        {"--imei", "864507030000058"}, {"--imei", "864507030000066", "--refuse", "770"},
        {"--imei", "864507030000074", "--chunked"}, {"--silent"},
    };
    std::vector<std::unique_ptr<vorlen::test::SimProcess>> sims;
    std::map<std::string, std::string> sockets;
    vorlen::PortList ports;
    for (std::size_t i = 0; i < trackers.size(); ++i) {
        sims.push_back(std::make_unique<vorlen::test::SimProcess>(trackers[i]));
        const std::string socket =
            "/dev/serial/by-path/pci-0000:00:14.0-usb-0:" + std::to_string(i + 1) + ":1.0-port0";
        const std::string tty = "/dev/ttyUSB" + std::to_string(i);
        sockets[socket] = sims.back()->LinkPath();
        ports.push_back({tty, socket, "FT232R USB UART (ttyUSB" + std::to_string(i) + ")", 1,
                         "FT232R USB UART"});
    }
    StationServices services = RealStationServices([] { return std::string(); });
    services.enumeratePorts = [ports](vorlen::PortList& list) { list = ports; };
    services.system.openPort = [sockets](const std::string& name, vorlen::OpenFailure* why) {
        return vorlen::OpenPort(sockets.at(name), why);
    };
    services.system.portExists = [](const std::string&) { return true; };
    // Silent: the picture is of the window, not of the machine's sound server.
    StationPrompts prompts = DialogPrompts();
    prompts.playSound = [](StationSound) { return std::string(); };
    FleetStationWindow station(std::move(services), vorlen::kEnglish, nullptr, prompts);
    station.move(form.pos());
    station.resize(1100, 680);
    station.ShowAndRaise();
    if (!QTest::qWaitForWindowExposed(&station)) {
        return false;
    }
    const auto type = [&station](int id, const std::string& text) {
        qobject_cast<QLineEdit*>(station.Control(id))->setText(QString::fromStdString(text));
    };
    type(kStationName, "bench-3");
    type(kStationOperator, "Li Wei");
    type(kStationProfile, profile);
    auto* slots = qobject_cast<QListWidget*>(station.Control(kStationSlots));
    for (int i = 0; i < slots->count(); ++i) {
        slots->item(i)->setCheckState(Qt::Checked);
    }
    qobject_cast<QPushButton*>(station.Control(kStationStart))->click();
    const auto colour = [&station](std::size_t tile) {
        return station.TileWidget(tile)->grab().toImage().pixelColor(4, 4);
    };
    const bool passed = QTest::qWaitFor(
        [&] {
            for (std::size_t i = 0; i < 5; ++i) {
                if (colour(i) != QColor(0, 255, 0)) {
                    return false;
                }
            }
            return colour(5) == QColor(255, 0, 0);
        },
        60000);
    const bool saved = passed && station.grab().save(file);
    station.close();
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s ENGLISH.png TIP.png CHINESE.png MONITOR.png STATION.png\n",
                     argv[0]);
        return 2;
    }
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::perror("pseudo-terminal");
        return 1;
    }
    const std::string terminal = ptsname(master);

    // The list shows the name a USB adapter would have; the form opens the
    // pseudo-terminal under it.
    vorlen::TrackerConfigServices services;
    services.enumeratePorts = [](vorlen::PortList& ports) {
        ports = {vorlen::PortInfo{"/dev/ttyUSB0", "/dev/ttyUSB0", "USB Serial", 1, "USB Serial"}};
    };
    services.openPort = [terminal](const std::string&,
                                   vorlen::OpenFailure*) -> std::shared_ptr<vorlen::Port> {
        return vorlen::OpenPort(terminal);
    };

    vorlen::TrackerWindow form(std::move(services));
    form.show();
    if (!QTest::qWaitForWindowExposed(&form) || !SaveScreen(form, argv[1])) {
        return 1;
    }
    QWidget* portList = form.Control(vorlen::control::kPortList);
    QTest::mouseMove(portList, QPoint(8, portList->height() / 2));
    if (!SaveScreen(form, argv[2])) {
        return 1;
    }
    QTest::mouseMove(&form, QPoint(form.width() - 4, form.height() - 4));
    auto* language = static_cast<QComboBox*>(form.Control(vorlen::control::kLanguageList));
    QTest::keyClick(language, Qt::Key_Up);  // English -> 中文, as the operator would
    if (!SaveScreen(form, argv[3])) {
        return 1;
    }
    QTest::keyClick(language, Qt::Key_Down);
    const bool monitored = SaveMonitor(form, argv[4]);
    const bool stationed = SaveStation(form, argv[5]);
    form.close();
    close(master);
    return monitored && stationed ? 0 : 1;
}
