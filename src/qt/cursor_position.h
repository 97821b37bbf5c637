// Where the tips look for the mouse when no mouse event tells them.
#pragma once

#include <QPoint>
#include <functional>

namespace vorlen {

using CursorSource = std::function<QPoint()>;

// The cursor's screen position, from QCursor::pos() unless a source was set.
QPoint cursorPosition();

// Replaces where cursorPosition() reads from; an empty source restores
// QCursor::pos(). Tests use it to move a cursor that offscreen has no real
// counterpart for.
void setCursorSource(CursorSource source);

}  // namespace vorlen
