// The status box's background tells how the last command ended.
#pragma once

#include <QPlainTextEdit>

#include "protocol/status_mark.h"

namespace vorlen {

// Pure green for a success, pure red for a failure, the style's own colour
// otherwise. Only the background changes; the text keeps its colour.
void ShowStatusMark(QPlainTextEdit& box, StatusMark mark);

}  // namespace vorlen
