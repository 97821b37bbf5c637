// Drives the tips as the mouse would: a cursor that the tips' checks read,
// and mouse moves delivered at that cursor.
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include "widgets/cursor_position.h"
#include "widgets/tip_window.h"

namespace vorlen {

class FakeCursor {
public:
    FakeCursor() {
        setCursorSource([this] { return screenPos_; });
    }
    ~FakeCursor() { setCursorSource({}); }
    FakeCursor(const FakeCursor&) = delete;
    FakeCursor& operator=(const FakeCursor&) = delete;

    // Puts the cursor on the widget's point without telling the widget, as
    // when the mouse leaves faster than it reports.
    void jumpTo(const QWidget* widget, const QPoint& pos) { screenPos_ = widget->mapToGlobal(pos); }

    void moveTo(QWidget* widget, const QPoint& pos) {
        jumpTo(widget, pos);
        QMouseEvent move(QEvent::MouseMove, pos, screenPos_, Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }

private:
    QPoint screenPos_{-1000, -1000};
};

// Long enough for a few checks of a tip, short enough for a test run.
inline constexpr int kHideTimeoutMs = 1000;

inline bool hiddenSoon(const TipWindow* tip) {
    return QTest::qWaitFor([tip] { return !tip->isVisible(); }, kHideTimeoutMs);
}

}  // namespace vorlen
