#include "qt/gbk_length_validator.h"

#include <algorithm>
#include <optional>

#include "model/gbk.h"
#include "model/typing_limit.h"

namespace vorlen {
namespace {

// Typing cannot produce these, but a paste can: a copied table cell ends in
// a line break, and a line break inside an argument would end the command
// there and start another one that the operator never chose.
bool HasControlCharacter(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
}

// A character the tracker sent that is not GBK shows as U+FFFD; a save
// stores '?' for it once the text is edited, so it counts as one byte.
std::optional<std::string> GbkOfEdited(QString text) {
    return Utf8ToGbk(text.replace(QChar(0xFFFD), QLatin1Char('?')).toStdString());
}

}  // namespace

GbkLengthValidator::GbkLengthValidator(int maxBytes, QLineEdit* edit)
    : QValidator(edit), maxBytes_(maxBytes), edit_(edit) {
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { shown_ = text; });
}

// The text the program set is never Invalid, whatever it holds: the line
// edit undoes a refused change only when the text before it was not Invalid.
QValidator::State GbkLengthValidator::validate(QString& input, int&) const {
    if (input == shown_) {
        return Intermediate;
    }
    const std::optional<std::string> gbk = GbkOfEdited(input);
    if (HasControlCharacter(input) || !gbk) {
        return Invalid;
    }
    const std::optional<std::string> before = GbkOfEdited(shown_);
    const std::size_t bytesBefore = before ? before->size() : shown_.size();
    if (!KeepsTypingLimit(bytesBefore, gbk->size(), maxBytes_)) {
        return Invalid;
    }
    return maxBytes_ <= 0 || gbk->size() <= static_cast<std::size_t>(maxBytes_) ? Acceptable
                                                                                 : Intermediate;
}

void GbkLengthValidator::SetText(const QString& text) {
    shown_ = text;
    edit_->setText(text);
}

}  // namespace vorlen
