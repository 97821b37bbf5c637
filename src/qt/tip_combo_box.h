// A drop-down list combo box that shows a truncated entry in full.
#pragma once

#include <QPointer>
#include <QTimer>

#include "qt/opening_combo_box.h"

namespace vorlen {

class TipListBox;
class TipWindow;

// While the mouse rests on the field and the selected text is wider than the
// field, the whole text shows in a tip laid over the field's own text, so
// that it visibly continues past the control's edge. The open list does the
// same for the line under the mouse (TipListBox). Otherwise a plain
// OpeningComboBox.
class TipComboBox : public OpeningComboBox {
    Q_OBJECT

public:
    explicit TipComboBox(QWidget* parent = nullptr);
    ~TipComboBox() override;

    void showPopup() override;

    // The text may overhang the field by this many pixels before a tip shows.
    static constexpr int kWidthAllowance = 6;
    // Where the tip's corner sits relative to the field's.
    static constexpr QPoint kTipOffset{1, 3};

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QRect textArea() const;
    void checkCursor();

    TipWindow* tip_;
    QTimer checkTimer_;
    QPointer<TipListBox> listBox_;
};

}  // namespace vorlen
