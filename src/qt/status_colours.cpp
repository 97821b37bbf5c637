#include "qt/status_colours.h"

#include <QColor>
#include <QPalette>

namespace vorlen {

void ShowStatusMark(QPlainTextEdit& box, StatusMark mark) {
    QPalette palette;  // resolves nothing: the box inherits every colour again
    switch (mark) {
    case StatusMark::Success:
        palette.setColor(QPalette::Base, QColor(0, 255, 0));
        break;
    case StatusMark::Failure:
        palette.setColor(QPalette::Base, QColor(255, 0, 0));
        break;
    case StatusMark::None:
        break;
    }
    box.setPalette(palette);
}

}  // namespace vorlen
