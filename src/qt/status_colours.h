// The look table's colours (dialog/look.h) on Qt's widgets.
#pragma once

#include <QColor>
#include <QPlainTextEdit>

#include "dialog/look.h"

namespace vorlen {

QColor Colour(Rgb rgb);

// The status box's background in the mark's colour. Only the background
// changes; the text keeps its colour.
void ShowStatusMark(QPlainTextEdit& box, StatusMark mark);

}  // namespace vorlen
