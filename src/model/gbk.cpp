#include "model/gbk.h"

#include <stdexcept>

#include "model/code_page_936.h"

namespace vorlen {
namespace {

// U+E0000 to U+E007F, the Unicode tag characters, are F3 A0 80 xx and
// F3 A0 81 xx in UTF-8. GBK has no code for them, but glibc's iconv skips
// them without an error, so a pasted tag would vanish from a field instead
// of being refused.
bool HasTagCharacter(std::string_view utf8) {
    for (std::size_t at = utf8.find("\xF3\xA0"); at != std::string_view::npos;
         at = utf8.find("\xF3\xA0", at + 1)) {
        if (at + 2 < utf8.size() && (utf8[at + 2] == '\x80' || utf8[at + 2] == '\x81')) {
            return true;
        }
    }
    return false;
}

// Bytes under 0x80 are the same characters in GBK and in UTF-8, so such a
// text needs no converter: the form's start-up then does not load iconv's
// GBK module for its empty fields and English captions.
bool IsAscii(std::string_view text) {
    for (const char byte : text) {
        if (static_cast<unsigned char>(byte) >= 0x80) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<std::string> Utf8ToGbk(std::string_view utf8) {
    if (IsAscii(utf8)) {
        return std::string(utf8);
    }
    if (HasTagCharacter(utf8)) {
        return std::nullopt;
    }
    return EncodeCodePage936(utf8);
}

std::string GbkToUtf8(std::string_view gbk) {
    return IsAscii(gbk) ? std::string(gbk) : DecodeCodePage936(gbk);
}

std::string GbkOf(std::string_view utf8) {
    std::optional<std::string> gbk = Utf8ToGbk(utf8);
    if (!gbk) {
        throw std::logic_error("program text not encodable in GBK");
    }
    return *gbk;
}

}  // namespace vorlen
