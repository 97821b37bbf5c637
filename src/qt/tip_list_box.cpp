#include "qt/tip_list_box.h"

#include <QAbstractItemView>
#include <QMouseEvent>

#include "qt/cursor_position.h"
#include "qt/tip_window.h"

namespace vorlen {

TipListBox::TipListBox(QAbstractItemView* view)
    : QObject(view), view_(view), tip_(new TipWindow(view, TipWindow::Border::None)) {
    // The mouse over a line highlights it, so the tip matches the highlight.
    const QPalette& colors = view->palette();
    tip_->setColors(colors.color(QPalette::Highlight), colors.color(QPalette::HighlightedText));
    checkTimer_.setInterval(kTipCheckInterval);
    connect(&checkTimer_, &QTimer::timeout, this, &TipListBox::checkCursor);
    view->viewport()->setMouseTracking(true);
    view->viewport()->installEventFilter(this);
}

bool TipListBox::eventFilter(QObject* watched, QEvent* event) {
    // The type comes first: while a replaced view is being destroyed its
    // viewport still sends events here, and the half-destroyed view must not
    // be asked for its viewport then.
    if (event->type() == QEvent::MouseMove && watched == view_->viewport()) {
        mouseMovedTo(static_cast<QMouseEvent*>(event)->position().toPoint());
    }
    return QObject::eventFilter(watched, event);
}

void TipListBox::mouseMovedTo(const QPoint& pos) {
    if (!viewportContains(pos)) {
        tip_->hide();
        return;
    }
    // Below the last line there is no line to explain: a tip that is shown
    // stays where it is.
    const QModelIndex index = view_->indexAt(pos);
    if (!index.isValid()) {
        return;
    }
    const QString text = index.data(Qt::DisplayRole).toString();
    // A list view lays its lines out as wide as its widest entry; the line
    // shows only as far as the viewport's edge, which is where it is cut.
    QRect line = view_->visualRect(index);
    line.setRight(qMin(line.right(), view_->viewport()->rect().right()));
    if (view_->fontMetrics().horizontalAdvance(text) > line.width() - kWidthAllowance) {
        tip_->showText(text, view_->viewport()->mapToGlobal(line.topLeft()));
        checkTimer_.start();
    } else {
        tip_->hide();
    }
}

// No mouse move arrives once the cursor has left the list or the list has
// closed under it, so the tip checks for itself.
void TipListBox::checkCursor() {
    const QPoint pos = view_->viewport()->mapFromGlobal(cursorPosition());
    if (viewportContains(pos) && view_->isVisible()) {
        return;
    }
    checkTimer_.stop();
    tip_->hide();
}

bool TipListBox::viewportContains(const QPoint& pos) const {
    return view_->viewport()->rect().contains(pos);
}

}  // namespace vorlen
