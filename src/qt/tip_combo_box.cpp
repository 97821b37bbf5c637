#include "qt/tip_combo_box.h"

#include <QAbstractItemView>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionComboBox>

#include "qt/cursor_position.h"
#include "qt/tip_list_box.h"
#include "qt/tip_window.h"

namespace vorlen {

TipComboBox::TipComboBox(QWidget* parent)
    : OpeningComboBox(parent), tip_(new TipWindow(this, TipWindow::Border::Line)) {
    setMouseTracking(true);
    checkTimer_.setInterval(kTipCheckInterval);
    connect(&checkTimer_, &QTimer::timeout, this, &TipComboBox::checkCursor);
}

// The list's tip goes first, while the view it watches is still whole.
TipComboBox::~TipComboBox() { delete listBox_; }

// The list is taken on when it is first shown, with its final palette, and
// again whenever setView() has replaced it since. The list may open over the
// field, so the field's tip gives way to the list's.
void TipComboBox::showPopup() {
    tip_->hide();
    OpeningComboBox::showPopup();
    if (listBox_ == nullptr) {
        listBox_ = new TipListBox(view());
    }
}

void TipComboBox::mouseMoveEvent(QMouseEvent* event) {
    const QRect area = textArea();
    const QString text = currentText();
    if (area.contains(event->position().toPoint()) &&
        fontMetrics().horizontalAdvance(text) > area.width() - kWidthAllowance) {
        // The tip looks like the field: highlighted while it has the focus.
        const QPalette& colors = palette();
        if (hasFocus()) {
            tip_->setColors(colors.color(QPalette::Highlight),
                            colors.color(QPalette::HighlightedText));
        } else {
            tip_->setColors(colors.color(QPalette::Base), colors.color(QPalette::Text));
        }
        tip_->showText(text, mapToGlobal(area.topLeft() + kTipOffset));
        checkTimer_.start();
    } else {
        tip_->hide();
    }
    QComboBox::mouseMoveEvent(event);
}

void TipComboBox::hideEvent(QHideEvent* event) {
    tip_->hide();
    QComboBox::hideEvent(event);
}

// The field less the drop-down arrow and two pixels beside it.
QRect TipComboBox::textArea() const {
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const int arrowWidth =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this)
            .width();
    return rect().adjusted(0, 0, -(arrowWidth + 2), 0);
}

// The field gets no mouse move once the cursor has left it.
void TipComboBox::checkCursor() {
    if (textArea().contains(mapFromGlobal(cursorPosition()))) {
        return;
    }
    checkTimer_.stop();
    tip_->hide();
}

}  // namespace vorlen
