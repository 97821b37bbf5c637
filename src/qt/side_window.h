// A Qt window the form keeps beside it (dialog/side_windows.h): its frame,
// a move, and its showing above the others.
#pragma once

#include <QRect>
#include <QWidget>

#include "dialog/side_windows.h"

namespace vorlen {

inline Rect RectOf(const QRect& rect) { return {rect.x(), rect.y(), rect.width(), rect.height()}; }

template <class Widget>
class QtSideWindow : public Widget, public SideWindow {
public:
    using Widget::Widget;

    Rect Frame() const override { return RectOf(this->frameGeometry()); }
    void Move(int x, int y) override { this->move(x, y); }
    // Shows the window, or brings it to the front when it is already shown.
    void ShowAndRaise() override {
        this->show();
        this->raise();
        this->activateWindow();
    }
};

}  // namespace vorlen
