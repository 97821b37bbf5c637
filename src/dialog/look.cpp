#include "dialog/look.h"

#include <algorithm>
#include <utility>

namespace vorlen {
namespace {

constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kPaleYellow{255, 240, 130};

// Tiles look best about twice as wide as high.
constexpr int kTileAspect = 2;

constexpr std::array<FileFilter, 2> kProfileFilters{{{"Vorlen profile", "*.toml"},
                                                     {"All files", "*"}}};
constexpr std::array<FileFilter, 2> kDeviceListFilters{{{"Device list", "*.csv"},
                                                        {"All files", "*"}}};

template <class Mark, std::size_t N>
std::optional<Rgb> Lookup(const std::array<std::pair<Mark, Rgb>, N>& table, Mark mark) {
    const auto found = std::find_if(table.begin(), table.end(),
                                    [mark](const auto& row) { return row.first == mark; });
    return found != table.end() ? std::optional<Rgb>(found->second) : std::nullopt;
}

}  // namespace

std::optional<Rgb> StatusColour(StatusMark mark) {
    constexpr std::array<std::pair<StatusMark, Rgb>, 2> kColours{{
        {StatusMark::Success, kGreen},
        {StatusMark::Failure, kRed},
    }};
    return Lookup(kColours, mark);
}

std::optional<Rgb> TileColour(fleet::TileMark mark) {
    constexpr std::array<std::pair<fleet::TileMark, Rgb>, 3> kColours{{
        {fleet::TileMark::Working, kPaleYellow},
        {fleet::TileMark::Passed, kGreen},
        {fleet::TileMark::Failed, kRed},
    }};
    return Lookup(kColours, mark);
}

const std::string& LineOf(const fleet::Tile& tile, TileLine line) {
    const std::array<std::pair<TileLine, const std::string*>, 4> lines{{
        {TileLine::Port, &tile.slot},
        {TileLine::Phase, &tile.phase},
        {TileLine::Imei, &tile.imei},
        {TileLine::Outcome, &tile.outcome},
    }};
    return *std::find_if(lines.begin(), lines.end(), [line](const auto& row) {
                return row.first == line;
            })->second;
}

TileGrid TileGridFor(int count, int width, int height, int gap) {
    if (count <= 0) {
        return {};
    }
    TileGrid best;
    int bestSize = -1;
    for (int columns = 1; columns <= count; ++columns) {
        const int rows = (count + columns - 1) / columns;
        const int tileWidth = (width - (columns - 1) * gap) / columns;
        const int tileHeight = (height - (rows - 1) * gap) / rows;
        const int size = std::min(tileWidth, kTileAspect * tileHeight);
        if (size > bestSize) {
            bestSize = size;
            best = {columns, std::max(tileWidth, 0), std::clamp(tileHeight, 0, std::max(tileWidth, 0))};
        }
    }
    return best;
}

int TileTextPercent(int tileHeight, int lineHeight) {
    constexpr int kRetryRowPercent = 180;  // the button and the tile's margins: they keep their size
    int needed = 0;
    for (const TileLineLook& row : kTileLines) {
        needed += row.look.percent * (row.line == TileLine::Outcome ? 2 : 1);
    }
    if (lineHeight <= 0) {
        return 100;
    }
    const long room = 100L * tileHeight - static_cast<long>(kRetryRowPercent) * lineHeight;
    const long fits = 100L * room / (static_cast<long>(needed) * lineHeight);
    return static_cast<int>(std::clamp<long>(fits, 40, 100));
}

TextLook Shrunk(TextLook look, int percent) {
    return {look.percent * percent / 100, look.bold};
}

TextLook FittingOutcome(int percent, const std::function<bool(const TextLook&)>& fits) {
    constexpr int kStep = 10;
    const auto tableLook = [](TileLine line) {
        return std::find_if(kTileLines.begin(), kTileLines.end(),
                            [line](const TileLineLook& row) { return row.line == line; })
            ->look;
    };
    TextLook look = Shrunk(tableLook(TileLine::Outcome), percent);
    const int smallest = Shrunk(tableLook(TileLine::Phase), percent).percent;
    while (look.percent > smallest && !fits(look)) {
        look.percent = std::max(look.percent - kStep, smallest);
    }
    return look;
}

std::vector<TileRect> TilePlaces(int count, TileRect area, int gap) {
    const TileGrid grid = TileGridFor(count, area.width, area.height, gap);
    const int used = grid.columns * grid.width + (grid.columns - 1) * gap;
    const int left = area.x + std::max(area.width - used, 0) / 2;
    std::vector<TileRect> places;
    for (int i = 0; i < count; ++i) {
        places.push_back({left + (i % grid.columns) * (grid.width + gap),
                          area.y + (i / grid.columns) * (grid.height + gap), grid.width,
                          grid.height});
    }
    return places;
}

std::span<const FileFilter> StationFileFilters(fleet::StationFile kind) {
    return kind == fleet::StationFile::Profile ? std::span<const FileFilter>(kProfileFilters)
                                               : std::span<const FileFilter>(kDeviceListFilters);
}

}  // namespace vorlen
