// What a benchmarked window's process reports once the operator could see
// it: shared by the form's start-up and the bare dialog's, so that both are
// measured the same way.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>
#include <fstream>
#include <set>
#include <string>

#include <unistd.h>

namespace vorlen::bench {

class FirstPaint : public QObject {
public:
    bool seen = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        seen = seen || event->type() == QEvent::Paint;
        return QObject::eventFilter(watched, event);
    }
};

// Shows the window and returns once it has painted and the events that
// came with the paint are handled: what the operator sees first.
inline void ShowUntilPainted(QWidget& window) {
    FirstPaint paint;
    window.installEventFilter(&paint);
    window.show();
    while (!paint.seen) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    QCoreApplication::processEvents();
    window.removeEventFilter(&paint);
}

// The shared libraries the process has mapped, each counted once.
inline int MappedLibraries() {
    std::ifstream maps("/proc/self/maps");
    std::set<std::string> libraries;
    for (std::string line; std::getline(maps, line);) {
        const std::size_t path = line.find('/');
        if (path != std::string::npos && line.find(".so", path) != std::string::npos) {
            libraries.insert(line.substr(path));
        }
    }
    return static_cast<int>(libraries.size());
}

// Sent over the pipe `fd` to the benchmark once the window was painted.
struct Painted {
    int libraries = 0;
};

// Reports on `fd` and ends the process at once: taking the window down is
// no part of its start-up, and would count in the processor time.
[[noreturn]] inline void ReportPaintedAndLeave(int fd) {
    const Painted painted{MappedLibraries()};
    const bool sent = ::write(fd, &painted, sizeof painted) == static_cast<ssize_t>(sizeof painted);
    ::_exit(sent ? 0 : 1);
}

}  // namespace vorlen::bench
