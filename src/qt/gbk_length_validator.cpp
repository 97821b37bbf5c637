#include "qt/gbk_length_validator.h"

#include "model/typing_limit.h"

namespace vorlen {

GbkLengthValidator::GbkLengthValidator(const FieldSpec* field, QLineEdit* edit)
    : QValidator(edit), field_(field), edit_(edit) {
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { shown_ = text; });
}

// The text the program set is never Invalid, whatever it holds: the line
// edit undoes a refused change only when the text before it was not Invalid.
QValidator::State GbkLengthValidator::validate(QString& input, int&) const {
    if (input == shown_) {
        return Intermediate;
    }
    const Typing typing = JudgeTyping(field_, shown_.toStdString(), input.toStdString());
    if (typing == Typing::Refused) {
        return Invalid;
    }
    return typing == Typing::Accepted ? Acceptable : Intermediate;
}

void GbkLengthValidator::SetText(const QString& text) {
    shown_ = text;
    edit_->setText(text);
}

}  // namespace vorlen
