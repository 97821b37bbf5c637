#include "qt/status_colours.h"

#include <QPalette>

namespace vorlen {

std::optional<QColor> MarkColour(StatusMark mark) {
    switch (mark) {
    case StatusMark::Success:
        return QColor(0, 255, 0);
    case StatusMark::Failure:
        return QColor(255, 0, 0);
    case StatusMark::None:
        break;
    }
    return std::nullopt;
}

void ShowStatusMark(QPlainTextEdit& box, StatusMark mark) {
    QPalette palette;  // resolves nothing: the box inherits every colour again
    if (const std::optional<QColor> colour = MarkColour(mark)) {
        palette.setColor(QPalette::Base, *colour);
    }
    box.setPalette(palette);
}

}  // namespace vorlen
