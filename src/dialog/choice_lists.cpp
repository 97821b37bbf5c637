#include "dialog/choice_lists.h"

#include <array>

#include "model/control_ids.h"
#include "model/find_row.h"
#include "model/selections.h"

namespace vorlen {
namespace {

constexpr std::array<Bilingual, 2> kLanguages{{
    {"中文", "中文"},
    {"English", "English"},
}};

constexpr std::array<Bilingual, 4> kWarningTypes{{
    {"No warning", "不报警"},
    {"Call warning", "拨号报警"},
    {"MSG warning", "信息报警"},
    {"Call and MSG warning", "拨号报警+信息报警"},
}};

constexpr std::array<Bilingual, 2> kNorthSouth{{{"N", "N"}, {"S", "S"}}};

constexpr std::array<Bilingual, 2> kEastWest{{{"E", "E"}, {"W", "W"}}};

// The entry's index is the number of base stations.
constexpr std::array<Bilingual, 8> kBaseStationCounts{{
    {"0", "0"}, {"1", "1"}, {"2", "2"}, {"3", "3"},
    {"4", "4"}, {"5", "5"}, {"6", "6"}, {"7", "7"},
}};

constexpr std::array<Bilingual, 2> kFenceTypes{{
    {"Electric Fence", "围栏"},
    {"Custom Electric Fence", "自定义围栏"},
}};

constexpr std::array<Bilingual, 5> kWorkingModes{{
    {"P2P", "点到点"},
    {"P2S", "点到中心"},
    {"Custom GPRS Connect", "GPRS按需连接"},
    {"Long GPRS Connect", "GPRS长连接"},
    {"GPRS power saving", "GPRS省电连接"},
}};

static_assert(kWarningTypes.size() == kWarningTypeEntries && kNorthSouth.size() == kHemisphereEntries &&
              kEastWest.size() == kHemisphereEntries &&
              kBaseStationCounts.size() == kBaseStationEntries &&
              kFenceTypes.size() == kFenceTypeEntries && kWorkingModes.size() == kWorkingModeEntries);

// English is the language of every start.
constexpr std::array<ChoiceList, 7> kLists{{
    {control::kLanguageList, kLanguages, kEnglish},
    {control::kWarningTypeList, kWarningTypes, 0},
    {control::kNorthSouthList, kNorthSouth, 0},
    {control::kEastWestList, kEastWest, 0},
    {control::kBaseStationList, kBaseStationCounts, 0},
    {control::kFenceTypeList, kFenceTypes, 0},
    {control::kWorkingModeList, kWorkingModes, 0},
}};

}  // namespace

std::span<const ChoiceList> ChoiceLists() { return kLists; }

const ChoiceList* FindChoiceList(int controlId) {
    return FindRow(ChoiceLists(), &ChoiceList::controlId, controlId);
}

}  // namespace vorlen
