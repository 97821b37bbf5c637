#include "qt/message_box.h"

#include <QMessageBox>

namespace vorlen {

MessageAnswer ShowMessageBox(QWidget* parent, const std::string& text, const std::string& caption,
                             MessageButtons buttons) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    if (buttons == MessageButtons::OkCancel) {
        box.addButton(QMessageBox::Cancel);
    }
    return box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

}  // namespace vorlen
