#include "qt/status_colours.h"

#include <QPalette>

namespace vorlen {

QColor Colour(Rgb rgb) { return {rgb.red, rgb.green, rgb.blue}; }

void ShowStatusMark(QPlainTextEdit& box, StatusMark mark) {
    QPalette palette;  // resolves nothing: the box inherits every colour again
    if (const std::optional<Rgb> colour = StatusColour(mark)) {
        palette.setColor(QPalette::Base, Colour(*colour));
    }
    box.setPalette(palette);
}

}  // namespace vorlen
