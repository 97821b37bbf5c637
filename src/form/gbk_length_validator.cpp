#include "form/gbk_length_validator.h"

#include "form/gbk.h"

namespace vorlen {

GbkLengthValidator::GbkLengthValidator(int maxBytes, QObject* parent)
    : QValidator(parent), maxBytes_(maxBytes) {}

QValidator::State GbkLengthValidator::validate(QString& input, int&) const {
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
