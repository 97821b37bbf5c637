// How the form and the station look, the same in every toolkit: the colours
// of an outcome, how a slot's tile reads from a step away, how the tiles
// share the window, and which files the station's file boxes offer. A
// window only turns these into its toolkit's colours, fonts and filters.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "dialog/station_window.h"
#include "protocol/status_mark.h"

namespace vorlen {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

// The status box's background: green for a success, red for a failure,
// nothing (the system's own colour) otherwise.
std::optional<Rgb> StatusColour(StatusMark mark);

// A tile's background: a tracker done or unchanged in the status box's
// green, a failed one in its red, pale yellow while a tracker is worked on;
// nothing (the window's own colour) while the slot waits, so that only the
// slots with news draw the eye.
std::optional<Rgb> TileColour(fleet::TileMark mark);

// The text on a coloured tile: black, readable on every tile colour.
inline constexpr Rgb kTileText{0, 0, 0};

// A line that tells of a fault beside plain lines (the station's journal
// line when the journal takes no rows, or rows wait): dark red text on the
// window's own colour, readable where a red background would shout.
inline constexpr Rgb kFaultText{0xC0, 0, 0};

// A line of text in the window's font grown by `percent`.
struct TextLook {
    int percent = 100;
    bool bold = false;
};

// A tile's lines, top to bottom. The slot's name and the last outcome are
// what an operator a step away must read first: largest and bold; what the
// slot does and the IMEI smaller under the name.
enum class TileLine { Port, Phase, Imei, Outcome };
struct TileLineLook {
    TileLine line;
    TextLook look;
};
// The tile's text on that line.
const std::string& LineOf(const fleet::Tile& tile, TileLine line);

inline constexpr std::array<TileLineLook, 4> kTileLines{{
    {TileLine::Port, {200, true}},
    {TileLine::Phase, {130, false}},
    {TileLine::Imei, {130, false}},
    {TileLine::Outcome, {200, true}},
}};

// The sounds of the desktop's sound theme (freedesktop names) a station
// plays at an outcome, with their description for the sound server.
struct SoundLook {
    fleet::StationSound sound;
    const char* eventId;
    const char* description;
};
inline constexpr std::array<SoundLook, 2> kStationSounds{{
    {fleet::StationSound::Passed, "complete", "A tracker passed"},
    {fleet::StationSound::Failed, "dialog-error", "A tracker failed"},
}};

// How far a tile's lines shrink, in percent, so that all of them fit a
// tile `tileHeight` pixels high when the window's font is `lineHeight`
// pixels a line: the lines as kTileLines grows them, the outcome on two
// lines as it may wrap, and a row for the Retry button. Never more than
// 100, never less than 40: a tile too small even then is cut, not blank.
int TileTextPercent(int tileHeight, int lineHeight);

// A tile line's look once shrunk to `percent`.
TextLook Shrunk(TextLook look, int percent);

// The outcome's look on a tile whose lines are shrunk to `percent`: the
// table's, or smaller in steps down to the phase line's size until `fits`
// finds its text wrapped into the room the tile leaves it. A failure's
// text can need three lines where the tile keeps two; it is then smaller
// rather than cut in the middle of a line.
TextLook FittingOutcome(int percent, const std::function<bool(const TextLook&)>& fits);

// The station's counters above the tiles.
inline constexpr TextLook kCountersLook{150, true};

// The tiles' place: `columns` across, each `width` x `height` pixels.
struct TileGrid {
    int columns = 1;
    int width = 0;
    int height = 0;
};

// The columns that give `count` tiles the largest size in an area of
// `width` x `height` pixels with `gap` between tiles, a tile about twice as
// wide as high and never taller than wide. No tiles give an empty grid.
TileGrid TileGridFor(int count, int width, int height, int gap);

// A tile's rectangle in the window's pixels.
struct TileRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Where each of `count` tiles goes in the area at (`x`, `y`) of `width` x
// `height` pixels: row by row in TileGridFor's grid, the grid centred
// across the area and at its top, so that no tile needs a scroll bar.
std::vector<TileRect> TilePlaces(int count, TileRect area, int gap);

// One entry of a file box's list of file kinds: "Vorlen profile", "*.toml".
struct FileFilter {
    const char* name;
    const char* pattern;
};

// What the station's Browse boxes offer, the files of the kind first.
std::span<const FileFilter> StationFileFilters(fleet::StationFile kind);

}  // namespace vorlen
