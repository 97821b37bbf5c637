#include "dialog/window_placement.h"

#include <algorithm>

namespace vorlen {

Rect BesideForm(const Rect& form, int width, int height, const Rect& screen) {
    const int roomRight = screen.Right() - form.Right();
    const int roomLeft = form.x - screen.x;
    int x = 0;
    if (roomRight >= width) {
        x = form.Right();
    } else if (roomLeft >= width) {
        x = form.x - width;
    } else {
        x = roomRight >= roomLeft ? screen.Right() - width : screen.x;
    }
    x = std::max(x, screen.x);
    const int y = std::max(screen.y, std::min(form.y, screen.Bottom() - height));
    return {x, y, width, height};
}

}  // namespace vorlen
