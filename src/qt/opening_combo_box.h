// A drop-down list that says when it is about to open. Every list of the
// form does, whatever else it shows: the form decides which lists take
// their entries afresh then (the port list), not the kind of widget.
#pragma once

#include <QComboBox>

namespace vorlen {

class OpeningComboBox : public QComboBox {
    Q_OBJECT

public:
    using QComboBox::QComboBox;

    void showPopup() override {
        Q_EMIT popupAboutToShow();
        QComboBox::showPopup();
    }

Q_SIGNALS:
    // Before the list opens, so its entries can be brought up to date.
    void popupAboutToShow();
};

}  // namespace vorlen
