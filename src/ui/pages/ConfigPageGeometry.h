// Geometry of the configuration page as plain functions: where the chain cells, the palette
// frames and the other controls sit (dialog units of the page), how a tile carries its labels
// and its Master button, which free place a dragged tile drops into, which tie point a tie
// drag points at, and the page's background picture.
#pragma once

#include <array>
#include <optional>
#include <span>

#include "ui/pages/PageGeometry.h"
#include "ui/pages/Picture.h"
#include "ui/view/ChainMapGeometry.h"

namespace arvestra {

inline constexpr int kConfigCells = 16;  // chain cells: row 0 (Ch 1) then row 1 (Ch 2)
inline constexpr int kConfigCellsPerRow = 8;
inline constexpr int kConfigFrames = 12;  // palette frames: row A then row B
inline constexpr int kConfigFramesPerRow = 6;

// Control rectangles of the page in dialog units.
namespace config_layout {
inline constexpr DialogRect kPinkBox{8, 24, 112, 76};
inline constexpr DialogRect kPinkButton1{16, 40, 30, 12};   // "Ch 1" (1073)
inline constexpr DialogRect kPinkLamp1{50, 43, 6, 6};       // 1309
inline constexpr DialogRect kPinkButton2{66, 40, 30, 12};   // "Ch 2" (1061)
inline constexpr DialogRect kPinkLamp2{100, 43, 6, 6};      // 1310
inline constexpr DialogRect kLevelSlider{14, 68, 100, 14};  // 1072
inline constexpr DialogRect kBypassBox{400, 24, 112, 76};
inline constexpr DialogRect kBypassButton1{446, 44, 56, 14};  // 1062
inline constexpr DialogRect kBypassButton2{446, 70, 56, 14};  // 1063
inline constexpr DialogRect kChainBox{8, 106, 504, 130};
inline constexpr DialogRect kFirstCell{74, 120, 39, 35};  // cell 1181
inline constexpr int kCellStepX = 47;
inline constexpr int kCellStepY = 62;
inline constexpr DialogRect kFirstFrame{134, 24, 39, 35};  // palette frame 1291
inline constexpr int kFrameStepX = 43;
inline constexpr int kFrameStepY = 39;
// The parts a tile carries, by size.
inline constexpr DialogRect kNameLabel{0, 0, 35, 9};
inline constexpr DialogRect kLetterLabel{0, 0, 8, 8};
inline constexpr DialogRect kMasterButton{0, 0, 31, 10};
}  // namespace config_layout

// The rectangle of chain cell 0..15 or palette frame 0..11 in page pixels.
PixelRect CellRect(int cell, const DialogBaseUnits& units);
PixelRect FrameRect(int frame, const DialogBaseUnits& units);

// Where a tile's name label, letter label and Master button go for a tile at `tile`: the name
// spans the tile less 2 pixels on each side, centred vertically; the letter is centred, 3 pixels
// below the top; the Master button is centred with its bottom 2 pixels above the tile's bottom.
struct TileParts {
    PixelRect name;
    PixelRect letter;
    PixelRect master;
};
TileParts PlaceTileParts(const PixelRect& tile, int nameHeight, PixelPoint letterSize,
                         PixelPoint masterSize);

// A place a tile can sit in: a chain cell or a palette frame.
enum class PlaceKind { None, Cell, Frame };
struct TilePlace {
    PlaceKind kind = PlaceKind::None;
    int index = -1;  // cell 0..15 or frame 0..11

    friend bool operator==(const TilePlace&, const TilePlace&) = default;
};

// The drop target of a tile at `tile`: the free cell whose centre is nearest to the tile's
// centre (a later cell must be strictly nearer), then a free palette frame only when strictly
// nearer still. None when every place is taken.
TilePlace ChooseDropTarget(const PixelRect& tile, std::span<const PixelRect, kConfigCells> cells,
                           std::span<const bool, kConfigCells> cellTaken,
                           std::span<const PixelRect, kConfigFrames> frames,
                           std::span<const bool, kConfigFrames> frameTaken);

// The chain line geometry of the page: as the main view's map, from the cells, with node
// rectangles of half-size (cell width) / 12.
ChainGeometry ConfigChainGeometry(std::span<const PixelRect, kConfigCells> cells);

// The tie point P1..P9 whose node rectangle holds the point: row 0 first, then row 1; the
// position is k - 1 for Pk. Empty when none does.
struct TiePoint {
    int row = 0;
    int position = 0;
};
std::optional<TiePoint> TiePointAt(const ChainGeometry& geometry, PixelPoint point);

// The tie target while dragging from `sourceRow`: the other row's tie point nearest in x (the
// lower position on equal distance), when the pointer is on the other row's side of the
// midline; -1 otherwise.
int TieTargetFor(const ChainGeometry& geometry, int sourceRow, PixelPoint pointer);

// The segments of the line drawn while a tie is dragged: from the source point to the midline,
// and with a target, along it and to the target point.
std::vector<ChainSegment> TieDragSegments(const ChainGeometry& geometry, int sourceRow,
                                          int sourcePosition, int targetPosition);

// The page's own artwork over the common panel: the Pink Noise box with its Level scale, the Bypass
// box and the chain frame with its captions.
Picture ConfigPagePicture(int width, int height, const DialogBaseUnits& units);

}  // namespace arvestra
