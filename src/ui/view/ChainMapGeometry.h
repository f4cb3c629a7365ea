// The small read-only map of the two signal chains under the chain buttons: per row a line with
// 11 points (input node, the positions before each slot, output node), and how the tie between
// the rows is drawn. Plain functions on pixel rectangles.
#pragma once

#include <array>
#include <span>
#include <vector>

#include "ui/controls/PixelRect.h"

namespace arvestra {

inline constexpr int kChainPointCount = 11;

struct ChainRowGeometry {
    int y = 0;                                          // the row line
    std::array<PixelPoint, kChainPointCount> points{};  // P0 .. P10
    std::array<PixelRect, kChainPointCount> nodes{};    // node rectangles around the points
};

struct ChainGeometry {
    std::array<ChainRowGeometry, 2> rows{};
    int midlineY = 0;  // halfway between the two row lines
    PixelRect area;    // what a chain map repaint covers
};

// The geometry from the 16 chain buttons' rectangles (view pixels), in chain-slot order.
ChainGeometry ComputeChainGeometry(std::span<const PixelRect, 16> buttons);

// The tie fields of the configuration.
struct ChainTie {
    bool enabled = false;
    int direction = 0;              // 1: channel A's chain feeds B's (row B tied); 0: B feeds A
    std::array<int, 2> position{};  // tie position of each row, 0..8
};

struct ChainSegment {
    PixelPoint from;
    PixelPoint to;

    friend bool operator==(const ChainSegment&, const ChainSegment&) = default;
};

struct ChainMapPicture {
    std::vector<PixelRect> circles;  // node circles: P0 and P10 of each row
    std::vector<ChainSegment> segments;
};

// What the map shows: per row the circles of the input and output nodes and the segments
// between neighbouring points, except that with the tie on, the tied row's segments up to its
// tie position are left out and a connector runs from the feeding row's tap down (or up) to the
// midline, along it, and to the tied row's entry point. Tie positions are taken as 0..8.
ChainMapPicture ComputeChainMapPicture(const ChainGeometry& geometry, const ChainTie& tie);

}  // namespace arvestra
