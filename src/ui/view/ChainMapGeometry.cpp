#include "ui/view/ChainMapGeometry.h"

#include <algorithm>

namespace arvestra {

namespace {

constexpr int kSlotsPerRow = 8;
constexpr int kMaxTiePosition = 8;

PixelRect Union(const PixelRect& a, const PixelRect& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

ChainRowGeometry RowGeometry(std::span<const PixelRect, 16> buttons, int row, int halfSize) {
    const auto button = [&](int column) {
        return buttons[static_cast<std::size_t>(row * kSlotsPerRow + column)];
    };
    const PixelRect& first = button(0);
    const PixelRect& last = button(kSlotsPerRow - 1);
    const int halfGap = (button(1).left - first.right) / 2;
    ChainRowGeometry geometry;
    geometry.y = (first.top + first.bottom) / 2;
    std::array<int, kChainPointCount> xs{};
    xs[0] = first.left - 4 * halfGap;
    xs[1] = first.left - halfGap;
    for (int k = 2; k <= kSlotsPerRow; ++k) {
        // Pk lies in the gap between the buttons of slots k - 2 and k - 1.
        xs[static_cast<std::size_t>(k)] = (button(k - 2).right + button(k - 1).left) / 2;
    }
    xs[9] = last.right + halfGap;
    xs[10] = last.right + 4 * halfGap;
    for (std::size_t k = 0; k < xs.size(); ++k) {
        geometry.points[k] = {xs[k], geometry.y};
        geometry.nodes[k] = {xs[k] - halfSize, geometry.y - halfSize, xs[k] + halfSize,
                             geometry.y + halfSize};
    }
    return geometry;
}

int TiePosition(const ChainTie& tie, int row) {
    return std::clamp(tie.position[static_cast<std::size_t>(row)], 0, kMaxTiePosition);
}

}  // namespace

ChainGeometry ComputeChainGeometry(std::span<const PixelRect, 16> buttons) {
    ChainGeometry geometry;
    const int buttonWidth = buttons[0].Width();
    const int halfSize = (buttonWidth / 4) / 2;
    for (int row = 0; row < 2; ++row) {
        geometry.rows[static_cast<std::size_t>(row)] = RowGeometry(buttons, row, halfSize);
    }
    geometry.midlineY = (geometry.rows[0].y + geometry.rows[1].y) / 2;
    const PixelRect spanned = Union(Union(buttons[0], buttons[8]), buttons[15]);
    geometry.area = {spanned.left - buttonWidth, spanned.top, spanned.right + buttonWidth,
                     spanned.bottom};
    return geometry;
}

ChainMapPicture ComputeChainMapPicture(const ChainGeometry& geometry, const ChainTie& tie) {
    ChainMapPicture picture;
    const int tiedRow = tie.direction == 1 ? 1 : 0;
    const int feedingRow = 1 - tiedRow;
    for (int row = 0; row < 2; ++row) {
        const ChainRowGeometry& line = geometry.rows[static_cast<std::size_t>(row)];
        picture.circles.push_back(line.nodes[0]);
        picture.circles.push_back(line.nodes[kChainPointCount - 1]);
        // The tied row starts at its tie point: what lies before it is fed by nothing.
        const int firstSegment = tie.enabled && row == tiedRow ? TiePosition(tie, tiedRow) + 1 : 0;
        for (int i = firstSegment; i < kChainPointCount - 1; ++i) {
            picture.segments.push_back({line.points[static_cast<std::size_t>(i)],
                                        line.points[static_cast<std::size_t>(i + 1)]});
        }
    }
    if (tie.enabled) {
        const PixelPoint tap =
            geometry.rows[static_cast<std::size_t>(feedingRow)]
                .points[static_cast<std::size_t>(TiePosition(tie, feedingRow) + 1)];
        const PixelPoint entry =
            geometry.rows[static_cast<std::size_t>(tiedRow)]
                .points[static_cast<std::size_t>(TiePosition(tie, tiedRow) + 1)];
        const PixelPoint tapOnMidline{tap.x, geometry.midlineY};
        const PixelPoint entryOnMidline{entry.x, geometry.midlineY};
        picture.segments.push_back({tap, tapOnMidline});
        picture.segments.push_back({tapOnMidline, entryOnMidline});
        picture.segments.push_back({entryOnMidline, entry});
    }
    return picture;
}

}  // namespace arvestra
