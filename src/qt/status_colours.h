// The status box's background tells how the last command ended.
#pragma once

#include <QColor>
#include <QPlainTextEdit>
#include <optional>

#include "protocol/status_mark.h"

namespace vorlen {

// Pure green for a success, pure red for a failure, nothing (the style's own
// colour) otherwise.
std::optional<QColor> MarkColour(StatusMark mark);

// The box's background in the mark's colour. Only the background changes;
// the text keeps its colour.
void ShowStatusMark(QPlainTextEdit& box, StatusMark mark);

}  // namespace vorlen
