// The about item of the window menu. Windows keeps the low four bits of a
// system command for its own use, so a command is compared with the low four
// bits masked off: 0x0010 to 0x001F all mean the about item.
#pragma once

namespace vorlen {

inline constexpr unsigned kAboutCommand = 0x0010;

constexpr bool OpensAboutBox(unsigned command) { return (command & 0xFFF0u) == kAboutCommand; }

}  // namespace vorlen
