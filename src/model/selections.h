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

}  // namespace vorlen
