// The window that continues a truncated text past its control's edge.
#pragma once

#include <QLabel>
#include <chrono>

namespace vorlen {

// How often a shown tip checks that the cursor is still where it belongs.
inline constexpr std::chrono::milliseconds kTipCheckInterval{80};

// A frameless, input-transparent tool window that never takes the focus.
// It draws its text in its owner's font with no margins, and is placed by
// the owner in screen coordinates, so that the text lines up with the one the
// owner draws itself. It belongs to its owner and goes with it.
class TipWindow : public QLabel {
    Q_OBJECT

public:
    enum class Border { None, Line };

    TipWindow(QWidget* owner, Border border);

    void setColors(const QColor& background, const QColor& text);

    // Shows the text with its window's top-left corner at the screen point,
    // sized to the text; moves and refills a tip that is already shown.
    void showText(const QString& text, const QPoint& screenPos);
};

}  // namespace vorlen
