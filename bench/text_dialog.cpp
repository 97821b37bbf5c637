// A reference beside the floor, not the floor: a QDialog with one line of
// text and an OK button (like the Win32 benchmark's bare dialog), started,
// shown and painted, then reported to the window benchmark over the pipe
// named by its one argument. What it costs above the bare QDialog is what
// any window that draws text pays: fontconfig's set-up, the font, shaping.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <cstdlib>

#include "first_paint.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    const int report = std::atoi(argv[1]);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QDialog dialog;
    auto* text = new QLabel(QStringLiteral("Vorlen Version 1.04"), &dialog);
    text->setGeometry(10, 10, 160, 20);
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setGeometry(180, 10, 75, 23);
    vorlen::bench::ShowUntilPainted(dialog);
    vorlen::bench::ReportPaintedAndLeave(report);
}
