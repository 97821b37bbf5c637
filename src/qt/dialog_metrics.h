// The dialog font and the pixel geometry of a layout rectangle.
#pragma once

#include <QFont>
#include <QRect>

#include "dialog/dialog_units.h"

namespace vorlen {

// The application's font at 8 points, the size the form was designed for.
QFont DialogFont();

// The font's base units the way Windows measures them: the average width of
// the 52 letters and the font's height.
BaseUnits BaseUnitsOf(const QFont& font);

QRect PixelRect(const Rect& dialogUnits, BaseUnits base);

}  // namespace vorlen
