#include "ui/pages/ConfigPageGeometry.h"

#include <algorithm>
#include <cstdlib>

#include "ui/controls/SliderGeometry.h"

namespace arvestra {

namespace {

namespace L = config_layout;

constexpr int kPinkLevelMax = 80;
constexpr int kCaptionHeightDu = 7;
constexpr int kScaleHeightDu = 6;

std::size_t At(int i) {
    return static_cast<std::size_t>(i);
}

PixelPoint Centre(const PixelRect& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

long long DistanceSquared(PixelPoint a, PixelPoint b) {
    const long long dx = a.x - b.x;
    const long long dy = a.y - b.y;
    return dx * dx + dy * dy;
}

int TextPixels(int du, const DialogBaseUnits& units) {
    return std::max(1, (du * units.y + 4) / 8);
}

void AddCaption(Picture& picture, const char* text, const DialogRect& rect,
                const DialogBaseUnits& units, TextAlign align, bool bold) {
    PictureText caption;
    caption.box = DialogToPixels(rect, units);
    caption.text = text;
    caption.align = align;
    caption.bold = bold;
    caption.pixelSize = TextPixels(bold ? kCaptionHeightDu : kScaleHeightDu, units);
    picture.texts.push_back(caption);
}

// The Level scale under the pink noise slider: a tick and a label every 10 dB.
void AddLevelScale(Picture& picture, const DialogBaseUnits& units) {
    const PixelRect slider = DialogToPixels(L::kLevelSlider, units);
    const SliderTrack track = ComputeSliderTrack(slider.Width(), slider.Height());
    const PixelRect labels = DialogToPixels(
        {L::kLevelSlider.x, L::kLevelSlider.y + L::kLevelSlider.height + 3, 1, kScaleHeightDu},
        units);
    const int labelWidth = DialogToPixels({0, 0, 18, 1}, units).Width();
    static constexpr const char* kTexts[] = {"-40", "-30", "-20", "-10", "0 dB"};
    for (int i = 0; i < 5; ++i) {
        const int code = i * kPinkLevelMax / 4;
        const int x = slider.left + ThumbStartForPosition(track, {0, kPinkLevelMax, false}, code) +
                      track.thumbSize / 2;
        AddRun(picture.runs, {x, slider.bottom + 1, x + 1, labels.top - 1}, Ink::Black);
        PictureText text;
        text.box = {x - labelWidth / 2, labels.top, x - labelWidth / 2 + labelWidth, labels.bottom};
        text.text = kTexts[i];
        text.pixelSize = TextPixels(kScaleHeightDu, units);
        picture.texts.push_back(text);
    }
}

}  // namespace

PixelRect CellRect(int cell, const DialogBaseUnits& units) {
    const int c = std::clamp(cell, 0, kConfigCells - 1);
    const int row = c / kConfigCellsPerRow;
    const int column = c % kConfigCellsPerRow;
    return DialogToPixels(
        {L::kFirstCell.x + column * L::kCellStepX, L::kFirstCell.y + row * L::kCellStepY,
         L::kFirstCell.width, L::kFirstCell.height},
        units);
}

PixelRect FrameRect(int frame, const DialogBaseUnits& units) {
    const int f = std::clamp(frame, 0, kConfigFrames - 1);
    const int row = f / kConfigFramesPerRow;
    const int column = f % kConfigFramesPerRow;
    return DialogToPixels(
        {L::kFirstFrame.x + column * L::kFrameStepX, L::kFirstFrame.y + row * L::kFrameStepY,
         L::kFirstFrame.width, L::kFirstFrame.height},
        units);
}

TileParts PlaceTileParts(const PixelRect& tile, int nameHeight, PixelPoint letterSize,
                         PixelPoint masterSize) {
    TileParts parts;
    const int middleY = (tile.top + tile.bottom) / 2;
    parts.name = {tile.left + 2, middleY - nameHeight / 2, tile.right - 2,
                  middleY - nameHeight / 2 + nameHeight};
    const int middleX = (tile.left + tile.right) / 2;
    parts.letter = {middleX - letterSize.x / 2, tile.top + 3,
                    middleX - letterSize.x / 2 + letterSize.x, tile.top + 3 + letterSize.y};
    parts.master = {middleX - masterSize.x / 2, tile.bottom - 2 - masterSize.y,
                    middleX - masterSize.x / 2 + masterSize.x, tile.bottom - 2};
    return parts;
}

TilePlace ChooseDropTarget(const PixelRect& tile, std::span<const PixelRect, kConfigCells> cells,
                           std::span<const bool, kConfigCells> cellTaken,
                           std::span<const PixelRect, kConfigFrames> frames,
                           std::span<const bool, kConfigFrames> frameTaken) {
    const PixelPoint centre = Centre(tile);
    TilePlace best;
    long long bestDistance = 0;
    const auto consider = [&](PlaceKind kind, int index, const PixelRect& rect) {
        const long long d = DistanceSquared(centre, Centre(rect));
        if (best.kind == PlaceKind::None || d < bestDistance) {
            best = {kind, index};
            bestDistance = d;
        }
    };
    for (int i = 0; i < kConfigCells; ++i) {
        if (!cellTaken[At(i)]) consider(PlaceKind::Cell, i, cells[At(i)]);
    }
    for (int i = 0; i < kConfigFrames; ++i) {
        if (!frameTaken[At(i)]) consider(PlaceKind::Frame, i, frames[At(i)]);
    }
    return best;
}

ChainGeometry ConfigChainGeometry(std::span<const PixelRect, kConfigCells> cells) {
    ChainGeometry geometry = ComputeChainGeometry(cells);
    const int halfSize = cells[0].Width() / 12;
    for (ChainRowGeometry& row : geometry.rows) {
        for (int k = 0; k < kChainPointCount; ++k) {
            const PixelPoint p = row.points[At(k)];
            row.nodes[At(k)] = {p.x - halfSize, p.y - halfSize, p.x + halfSize, p.y + halfSize};
        }
    }
    return geometry;
}

std::optional<TiePoint> TiePointAt(const ChainGeometry& geometry, PixelPoint point) {
    for (int row = 0; row < 2; ++row) {
        for (int k = 1; k <= 9; ++k) {
            if (geometry.rows[At(row)].nodes[At(k)].Contains(point.x, point.y)) {
                return TiePoint{row, k - 1};
            }
        }
    }
    return std::nullopt;
}

int TieTargetFor(const ChainGeometry& geometry, int sourceRow, PixelPoint pointer) {
    const bool above = pointer.y < geometry.midlineY;
    const int targetRow = sourceRow == 0 ? 1 : 0;
    // Row 0 lies above the midline, row 1 on or below it.
    if ((targetRow == 0) != above) return -1;
    int best = 0;
    int bestDistance = 0;
    for (int k = 1; k <= 9; ++k) {
        const int d = std::abs(geometry.rows[At(targetRow)].points[At(k)].x - pointer.x);
        if (k == 1 || d < bestDistance) {
            best = k - 1;
            bestDistance = d;
        }
    }
    return best;
}

std::vector<ChainSegment> TieDragSegments(const ChainGeometry& geometry, int sourceRow,
                                          int sourcePosition, int targetPosition) {
    std::vector<ChainSegment> segments;
    const int row = std::clamp(sourceRow, 0, 1);
    const PixelPoint from = geometry.rows[At(row)].points[At(std::clamp(sourcePosition, 0, 8) + 1)];
    const PixelPoint down{from.x, geometry.midlineY};
    segments.push_back({from, down});
    if (targetPosition < 0) return segments;
    const PixelPoint to =
        geometry.rows[At(1 - row)].points[At(std::clamp(targetPosition, 0, 8) + 1)];
    const PixelPoint across{to.x, geometry.midlineY};
    segments.push_back({down, across});
    segments.push_back({across, to});
    return segments;
}

Picture ConfigPagePicture(int width, int height, const DialogBaseUnits& units) {
    Picture picture;
    picture.bounds = {0, 0, width, height};
    AddEtchedFrame(picture.runs, DialogToPixels(L::kPinkBox, units));
    AddEtchedFrame(picture.runs, DialogToPixels(L::kBypassBox, units));
    AddEtchedFrame(picture.runs, DialogToPixels(L::kChainBox, units));
    AddCaption(picture, "Pink Noise", {14, 27, 100, 9}, units, TextAlign::Left, true);
    AddCaption(picture, "Level", {14, 58, 100, 9}, units, TextAlign::Left, true);
    AddCaption(picture, "Bypass", {406, 27, 100, 9}, units, TextAlign::Left, true);
    AddCaption(picture, "Ch 1", {408, 46, 34, 10}, units, TextAlign::Left, true);
    AddCaption(picture, "Ch 2", {408, 72, 34, 10}, units, TextAlign::Left, true);
    // Inputs at the left of the chains (pink noise between the two rows), outputs at the right.
    const int row1 = L::kFirstCell.y + L::kFirstCell.height / 2 - 5;
    const int row2 = row1 + L::kCellStepY;
    AddCaption(picture, "Ch 1", {14, row1, 30, 10}, units, TextAlign::Left, true);
    AddCaption(picture, "Pink", {14, (row1 + row2) / 2, 30, 10}, units, TextAlign::Left, true);
    AddCaption(picture, "Ch 2", {14, row2, 30, 10}, units, TextAlign::Left, true);
    AddCaption(picture, "Ch 1", {476, row1, 32, 10}, units, TextAlign::Right, true);
    AddCaption(picture, "Ch 2", {476, row2, 32, 10}, units, TextAlign::Right, true);
    AddLevelScale(picture, units);
    return picture;
}

}  // namespace arvestra
