// The typing rule of an edit bound to a record field (model/typing_limit.h),
// applied to a Qt line edit.
#pragma once

#include <QLineEdit>
#include <QValidator>

#include "model/tracker_form.h"

namespace vorlen {

// Refuses an edit that breaks the typing rule of `field` (null: an edit
// bound to no field) or puts in a character GBK cannot encode. It follows
// the edit's text, so it knows what an edit started from; text the program
// sets is taken as it is.
class GbkLengthValidator : public QValidator {
    Q_OBJECT

public:
    GbkLengthValidator(const FieldSpec* field, QLineEdit* edit);

    State validate(QString& input, int& position) const override;

    // Sets the edit's text from the program, whatever its length.
    void SetText(const QString& text);

private:
    const FieldSpec* field_;
    QLineEdit* edit_;
    QString shown_;  // the edit's text before the change being checked
};

}  // namespace vorlen
