// The typing limit of an edit bound to a record field: the field holds GBK
// bytes, so the limit counts bytes and a Chinese character takes two.
#pragma once

#include <QValidator>

namespace vorlen {

// Refuses an edit that would make the text longer than `maxBytes` GBK bytes
// (0: no limit), put in a character GBK cannot encode, or put in a control
// character (a pasted line break, tab or escape). Text the program sets is
// not checked.
class GbkLengthValidator : public QValidator {
    Q_OBJECT

public:
    explicit GbkLengthValidator(int maxBytes, QObject* parent = nullptr);

    State validate(QString& input, int& position) const override;

    int maxBytes() const { return maxBytes_; }

private:
    int maxBytes_;
};

}  // namespace vorlen
