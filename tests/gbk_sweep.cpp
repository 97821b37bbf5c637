// Writes what both GBK conversions give for every byte, every two-byte
// sequence with a GBK lead byte, every Unicode scalar value, and for each file named
// after the output file, one line each. scripts/windows-test runs the Linux
// and the Windows build (iconv and code page 936) and compares the two
// files, which must be equal.
//   vorlen_gbk_sweep OUTPUT [FILE...]
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "model/gbk.h"

namespace {

std::string Hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const char byte : bytes) {
        hex += kDigits[static_cast<unsigned char>(byte) >> 4];
        hex += kDigits[static_cast<unsigned char>(byte) & 0xF];
    }
    return hex;
}

std::string Encoded(std::string_view utf8) {
    const std::optional<std::string> gbk = vorlen::Utf8ToGbk(utf8);
    return gbk ? Hex(*gbk) : "refused";
}

std::string Utf8Of(char32_t c) {
    std::string utf8;
    if (c < 0x80) {
        utf8 += static_cast<char>(c);
    } else if (c < 0x800) {
        utf8 += static_cast<char>(0xC0 | (c >> 6));
        utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        utf8 += static_cast<char>(0xE0 | (c >> 12));
        utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        utf8 += static_cast<char>(0xF0 | (c >> 18));
        utf8 += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
    return utf8;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: vorlen_gbk_sweep OUTPUT [FILE...]\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    for (int byte = 0x00; byte <= 0xFF; ++byte) {
        const std::string gbk(1, static_cast<char>(byte));
        out << Hex(gbk) << ' ' << Hex(vorlen::GbkToUtf8(gbk)) << '\n';
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x00; trail <= 0xFF; ++trail) {
            const std::string gbk{static_cast<char>(lead), static_cast<char>(trail)};
            out << Hex(gbk) << ' ' << Hex(vorlen::GbkToUtf8(gbk)) << '\n';
        }
    }
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c < 0xD800 || c > 0xDFFF) {
            out << "U+" << Hex(Utf8Of(c)) << ' ' << Encoded(Utf8Of(c)) << '\n';
        }
    }
    for (int i = 2; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        out << "file " << i - 1 << ' ' << Hex(vorlen::GbkToUtf8(bytes)) << ' ' << Encoded(bytes)
            << '\n';
    }
    return out ? 0 : 1;
}
