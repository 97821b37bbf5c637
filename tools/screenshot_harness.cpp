// Shows the real form on the X display with a pseudo-terminal as its only
// port, and saves what the screen shows: first in English, then with the
// mouse resting on the port list whose name is cut off (its tip shows the
// whole name), then after the operator's switch to Chinese. Used by scripts/screenshots; never touches
// the machine's own serial ports.
#include <QApplication>
#include <QComboBox>
#include <QScreen>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "model/control_ids.h"
#include "qt/tracker_window.h"
#include "serial/posix/serial_port.h"

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

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s ENGLISH.png TIP.png CHINESE.png\n", argv[0]);
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
    const bool saved = SaveScreen(form, argv[3]);
    form.close();
    close(master);
    return saved ? 0 : 1;
}
