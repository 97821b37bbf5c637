#include "qt/dialog_metrics.h"

#include <QApplication>
#include <QFontMetrics>

namespace vorlen {

QFont DialogFont() {
    QFont font = QApplication::font();
    font.setPointSize(8);
    return font;
}

BaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const QString letters = QString::fromLatin1(kBaseUnitLetters.data(),
                                                static_cast<qsizetype>(kBaseUnitLetters.size()));
    return {HorizontalBaseUnit(metrics.horizontalAdvance(letters)), metrics.height()};
}

QRect PixelRect(const Rect& dialogUnits, BaseUnits base) {
    const Rect pixels = ToPixels(dialogUnits, base);
    return {pixels.x, pixels.y, pixels.width, pixels.height};
}

}  // namespace vorlen
