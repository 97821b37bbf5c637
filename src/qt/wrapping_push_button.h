// A push button whose caption wraps onto as many lines as the button needs,
// like a Windows button with a multi-line caption.
#pragma once

#include <QPushButton>

namespace vorlen {

class WrappingPushButton : public QPushButton {
    Q_OBJECT

public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace vorlen
