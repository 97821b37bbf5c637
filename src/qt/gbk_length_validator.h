// The typing limit of an edit bound to a record field, counted in GBK bytes.
#pragma once

#include <QLineEdit>
#include <QValidator>

namespace vorlen {

// Refuses an edit that breaks the typing limit of `maxBytes` GBK bytes (0:
// no limit), puts in a character GBK cannot encode, or puts in a control
// character (a pasted line break, tab or escape). It follows the edit's
// text, so it knows what an edit started from; text the program sets is
// taken as it is.
class GbkLengthValidator : public QValidator {
    Q_OBJECT

public:
    GbkLengthValidator(int maxBytes, QLineEdit* edit);

    State validate(QString& input, int& position) const override;

    int maxBytes() const { return maxBytes_; }

    // Sets the edit's text from the program, whatever its length.
    void SetText(const QString& text);

private:
    int maxBytes_;
    QLineEdit* edit_;
    QString shown_;  // the edit's text before the change being checked
};

}  // namespace vorlen
