#include "qt/tip_window.h"

#include <QFontMetrics>

namespace vorlen {

TipWindow::TipWindow(QWidget* owner, Border border)
    : QLabel(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                        Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // Entries such as "Call & MSG" or "<none>" are shown as typed.
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    setMargin(0);
    setIndent(0);
    setContentsMargins(0, 0, 0, 0);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setAutoFillBackground(true);
    if (border == Border::Line) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
    } else {
        setFrameStyle(QFrame::NoFrame);
    }
}

void TipWindow::setColors(const QColor& background, const QColor& text) {
    QPalette colors = palette();
    colors.setColor(QPalette::Window, background);
    colors.setColor(QPalette::WindowText, text);
    setPalette(colors);
}

void TipWindow::showText(const QString& text, const QPoint& screenPos) {
    // The owner's font is read at each show: a control takes its final font
    // only once it is placed in its window, after this tip was made.
    setFont(parentWidget()->font());
    setText(text);
    const QFontMetrics metrics(font());
    const int frame = 2 * frameWidth();
    setGeometry(screenPos.x(), screenPos.y(), metrics.horizontalAdvance(text) + frame,
                metrics.height() + frame);
    show();
}

}  // namespace vorlen
