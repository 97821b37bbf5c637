#include "dialog/system_command.h"

#include <array>

namespace vorlen {
namespace {

constexpr std::array<WindowMenuItem, 5> kItems{{
    {kSaveProfileCommand, {"&Save Profile...", "保存配置文件(&S)..."}, "Ctrl+S"},
    {kLoadProfileCommand, {"&Load Profile...", "载入配置文件(&L)..."}, "Ctrl+O"},
    {kLineMonitorCommand, {"Line &Monitor...", "线路监视器(&M)..."}, "Ctrl+L"},
    {kFleetStationCommand, {"Fleet S&tation...", "批量工位(&T)..."}, "Ctrl+T"},
    // The program's name stays the same in both languages.
    {kAboutCommand, {"&About Vorlen...", "&About Vorlen..."}, "F1"},
}};

}  // namespace

std::span<const WindowMenuItem> WindowMenuItems() { return kItems; }

}  // namespace vorlen
