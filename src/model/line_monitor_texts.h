// The captions of the line monitor, the same in every window.
#pragma once

#include "model/bilingual.h"

namespace vorlen {

inline constexpr Bilingual kLineMonitorTitle{"Line Monitor", "线路监视器"};
inline constexpr Bilingual kLineMonitorClear{"Clear", "清除"};
inline constexpr Bilingual kLineMonitorCopyAll{"Copy All", "全部复制"};
inline constexpr Bilingual kLineMonitorSave{"Save...", "保存..."};
inline constexpr Bilingual kLineMonitorFileFilter{"Text files (*.txt)", "文本文件 (*.txt)"};
// Followed by the file's path.
inline constexpr Bilingual kLineMonitorSaved{"Saved as ", "已保存为 "};
inline constexpr Bilingual kLineMonitorNotSaved{"Could not save ", "无法保存 "};
// The first line of a saved or copied log that is not the whole session.
inline constexpr Bilingual kLineMonitorDropped{
    "({dropped} older entries were dropped: the monitor keeps the newest {kept}.)",
    "(已丢弃{dropped}条较早的记录: 监视器只保留最新的{kept}条。)"};

}  // namespace vorlen
