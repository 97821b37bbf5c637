#include "qt/gbk_length_validator.h"

#include <optional>

#include "model/gbk.h"
#include "model/typing_limit.h"

namespace vorlen {
namespace {

// A character the tracker sent that is not GBK shows as U+FFFD; a save
// stores '?' for it once the text is edited, so it counts as one byte.
std::optional<std::string> GbkOfEdited(QString text) {
    return Utf8ToGbk(text.replace(QChar(0xFFFD), QLatin1Char('?')).toStdString());
}

}  // namespace

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
    const std::optional<std::string> gbk = GbkOfEdited(input);
    if (!gbk) {
        return Invalid;
    }
    const std::string before =
        GbkOfEdited(shown_).value_or(std::string(static_cast<std::size_t>(shown_.size()), '?'));
    if (!AcceptsTyping(field_, before, *gbk)) {
        return Invalid;
    }
    const int maxBytes = field_ != nullptr ? field_->maxLength : 0;
    return maxBytes <= 0 || gbk->size() <= static_cast<std::size_t>(maxBytes) ? Acceptable
                                                                               : Intermediate;
}

void GbkLengthValidator::SetText(const QString& text) {
    shown_ = text;
    edit_->setText(text);
}

}  // namespace vorlen
