#include <cerrno>
#include <iconv.h>
#include <stdexcept>

#include "model/code_page_936.h"

namespace vorlen {
namespace {

// glibc calls code page 936 "CP936"; older builds only know "GBK".
iconv_t OpenConverter(const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd != reinterpret_cast<iconv_t>(-1)) {
        return cd;
    }
    const bool toGbk = std::string_view(to) == "CP936";
    cd = iconv_open(toGbk ? "GBK" : to, toGbk ? from : "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        throw std::runtime_error("iconv has no GBK converter");
    }
    return cd;
}

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(OpenConverter(to, from)) {}
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as possible; returns the number of input bytes left
    // unconverted at the first failure (0 when all went through).
    std::size_t Convert(std::string_view in, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        while (srcLeft > 0) {
            char buffer[256];
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
                return srcLeft;
            }
        }
        return 0;
    }

private:
    iconv_t cd_;
};

}  // namespace

std::optional<std::string> EncodeCodePage936(std::string_view utf8) {
    thread_local Converter converter("CP936", "UTF-8");
    std::string out;
    if (converter.Convert(utf8, out) != 0) {
        return std::nullopt;
    }
    return out;
}

std::string DecodeCodePage936(std::string_view gbk) {
    thread_local Converter converter("UTF-8", "CP936");
    std::string out;
    while (!gbk.empty()) {
        const std::size_t left = converter.Convert(gbk, out);
        if (left == 0) {
            break;
        }
        out += "\xEF\xBF\xBD";  // U+FFFD for the byte that did not convert
        gbk.remove_prefix(gbk.size() - left + 1);
    }
    return out;
}

}  // namespace vorlen
