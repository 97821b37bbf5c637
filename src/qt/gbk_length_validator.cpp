#include "qt/gbk_length_validator.h"

#include <algorithm>

#include "model/gbk.h"

namespace vorlen {

namespace {

// Typing cannot produce these, but a paste can: a copied table cell ends in
// a line break, and a line break inside an argument would end the command
// there and start another one that the operator never chose.
bool HasControlCharacter(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
}

}  // namespace

GbkLengthValidator::GbkLengthValidator(int maxBytes, QObject* parent)
    : QValidator(parent), maxBytes_(maxBytes) {}

QValidator::State GbkLengthValidator::validate(QString& input, int&) const {
    if (HasControlCharacter(input)) {
        return Invalid;
    }
    const std::optional<std::string> gbk = Utf8ToGbk(input.toStdString());
    if (!gbk) {
        return Invalid;
    }
    if (maxBytes_ > 0 && gbk->size() > static_cast<std::size_t>(maxBytes_)) {
        return Invalid;
    }
    return Acceptable;
}

}  // namespace vorlen
