// The tip for the lines of a combo box's drop-down list.
#pragma once

#include <QObject>
#include <QPoint>
#include <QTimer>

class QAbstractItemView;

namespace vorlen {

class TipWindow;

// Watches the mouse over an item view's viewport and, while it rests on a
// line whose text is wider than the line, shows the whole text laid over the
// line in the highlight colours the list paints that line in. It lives as a
// child of the view, so a view that is replaced takes its tip with it.
class TipListBox : public QObject {
    Q_OBJECT

public:
    explicit TipListBox(QAbstractItemView* view);

    // The lines' text may overhang this many pixels before a tip shows.
    static constexpr int kWidthAllowance = 3;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void mouseMovedTo(const QPoint& pos);
    void checkCursor();
    bool viewportContains(const QPoint& pos) const;

    QAbstractItemView* view_;
    TipWindow* tip_;
    QTimer checkTimer_;
};

}  // namespace vorlen
