// Vorlen: runs the tracker configuration form (with its line monitor and
// fleet station beside it when the operator opens them) until the operator
// closes it. Nothing is kept between runs.
#include <QApplication>
#include <iostream>
#include <string>
#include <vector>

#include "dialog/start_options.h"
#include "dialog/tracker_config_services.h"
#include "serial/open_port.h"
#include "qt/about_dialog.h"
#include "qt/tracker_window.h"

namespace {

vorlen::StartCommandLine ReadCommandLine(int argc, char** argv) {
    return vorlen::ReadStartCommandLine(std::vector<std::string>(argv + 1, argv + argc),
                                        vorlen::PortExists);
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


    vorlen::TrackerWindow form(vorlen::RealTrackerConfigServices(line.options));
    form.exec();
    return 0;
}
