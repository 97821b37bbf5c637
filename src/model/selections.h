// The choice lists whose selected index a command sends. Each is the
// zero-based index of the selected entry, -1 when nothing is selected; they
// are read from the lists at the moment of use, never stored in the record.
#pragma once

namespace vorlen {

struct Selections {
    int workingMode = -1;
    int warningType = -1;
    int baseStationCount = -1;
    int fenceType = -1;
    int northSouth = -1;
    int eastWest = -1;
};

// Working modes (entries of the working-mode list).
inline constexpr int kModeP2P = 0;
inline constexpr int kModeP2S = 1;
inline constexpr int kModeCustomGprs = 2;
inline constexpr int kModeLongGprs = 3;
inline constexpr int kModePowerSaving = 4;

// Fence types (entries of the fence-type list).
inline constexpr int kCircleFence = 0;
inline constexpr int kCustomFence = 1;

// How many entries each list has; a number beyond them selects nothing.
inline constexpr int kWorkingModeEntries = 5;
inline constexpr int kWarningTypeEntries = 4;
inline constexpr int kBaseStationEntries = 8;
inline constexpr int kFenceTypeEntries = 2;
inline constexpr int kHemisphereEntries = 2;

// The index of entry `index` of a list of `count`, or -1 when it has none.
constexpr int ListedEntry(int index, int count) { return index >= 0 && index < count ? index : -1; }

// The tracker numbers its fence kinds from 1, which has no list entry and
// uses no parameter; the list starts at the circle fence, kind 2.
inline constexpr int kFenceKindWithoutParameters = 1;
inline constexpr int kFenceKindOfFirstEntry = 2;

}  // namespace vorlen
