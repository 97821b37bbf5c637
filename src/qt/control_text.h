// The text a control shows, whatever kind of control it is: the caption of a
// button, check box or label, the contents of an edit.
#pragma once

#include <QString>
#include <QWidget>

namespace vorlen {

QString ControlText(const QWidget& control);

// A control without text (a list, a group box) is left alone.
void SetControlText(QWidget& control, const QString& text);

}  // namespace vorlen
