// Writes the program's picture as C++ source: its pixels as 32-bit ARGB
// words, which the Qt windows turn into their icon without an image reader.
// Run at build time.
//   vorlen_icon_pixels vorlen.png icon_pixels.cpp
#include <QFileInfo>
#include <QImage>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: vorlen_icon_pixels picture.png out.cpp\n");
        return 2;
    }
    const QImage picture =
        QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_ARGB32);
    if (picture.isNull() || picture.width() != picture.height()) {
        std::fprintf(stderr, "vorlen_icon_pixels: %s is not a square picture\n", argv[1]);
        return 1;
    }
    std::FILE* out = std::fopen(argv[2], "w");
    if (out == nullptr) {
        std::perror(argv[2]);
        return 1;
    }
    std::fprintf(out, "// Made from %s by vorlen_icon_pixels.\n#include \"qt/icon_pixels.h\"\n\n",
                 qPrintable(QFileInfo(QString::fromLocal8Bit(argv[1])).fileName()));
    std::fprintf(out, "namespace vorlen {\nconst int kIconSide = %d;\n", picture.width());
    std::fprintf(out, "const std::uint32_t kIconPixels[] = {");
    for (int y = 0; y < picture.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            std::fprintf(out, "%s0x%08x,", x % 8 == 0 ? "\n    " : " ", row[x]);
        }
    }
    std::fprintf(out, "\n};\n}  // namespace vorlen\n");
    return std::fclose(out) == 0 ? 0 : 1;
}
