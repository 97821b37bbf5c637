#include "qt/message_box.h"

#include <QMessageBox>

#include "model/gbk.h"

namespace vorlen {

MessageAnswer ShowMessageBox(QWidget* parent, const std::string& text, const std::string& caption,
                             MessageButtons buttons) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(GbkToUtf8(caption)),
                    QString::fromStdString(GbkToUtf8(text)), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    if (buttons == MessageButtons::OkCancel) {
        box.addButton(QMessageBox::Cancel);
    }
    return box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

}  // namespace vorlen
