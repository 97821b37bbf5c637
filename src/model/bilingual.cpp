#include "model/bilingual.h"

#include "model/gbk.h"

namespace vorlen {

std::string InLanguage(const Bilingual& text, int language) {
    return GbkOf(Utf8In(text, language));
}

}  // namespace vorlen
