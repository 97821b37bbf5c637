#include "qt/wrapping_push_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace vorlen {

void WrappingPushButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);

    const int margin = style()->pixelMetric(QStyle::PM_ButtonMargin, &option, this);
    const QRect textArea =
        style()->subElementRect(QStyle::SE_PushButtonContents, &option, this).adjusted(margin / 2, 0, -margin / 2, 0);
    painter.drawItemText(textArea, Qt::AlignCenter | Qt::TextWordWrap, option.palette,
                         isEnabled(), caption, QPalette::ButtonText);
}

}  // namespace vorlen
