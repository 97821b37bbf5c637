#include "qt/cursor_position.h"

#include <QCursor>
#include <utility>

namespace vorlen {

namespace {

CursorSource& installedSource() {
    static CursorSource source;
    return source;
}

}  // namespace

QPoint cursorPosition() {
    const CursorSource& source = installedSource();
    return source ? source() : QCursor::pos();
}

void setCursorSource(CursorSource source) { installedSource() = std::move(source); }

}  // namespace vorlen
