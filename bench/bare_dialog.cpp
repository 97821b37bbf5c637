// The floor the form is measured against: a bare QDialog of the same
// toolkit, started, shown and painted, then reported to the window
// benchmark over the pipe named by its one argument.
#include <QApplication>
#include <QDialog>
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
    vorlen::bench::ShowUntilPainted(dialog);
    vorlen::bench::ReportPaintedAndLeave(report);
}
