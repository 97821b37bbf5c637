// The program's picture (apps/vorlen/vorlen.png) as pixels compiled into the
// library, made at build time (src/qt/CMakeLists.txt): an icon read from a
// picture file at start would ask every image plugin whether it knows it.
#pragma once

#include <cstdint>

namespace vorlen {

// The side of the square picture, in pixels.
extern const int kIconSide;
// Its pixels row by row, each 0xAARRGGBB (QImage::Format_ARGB32).
extern const std::uint32_t kIconPixels[];

}  // namespace vorlen
