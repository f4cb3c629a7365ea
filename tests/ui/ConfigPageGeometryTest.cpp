// Geometry of the configuration page: drop targets, tie points and tie targets, tile parts and
// the layout of cells and frames.
#include <gtest/gtest.h>

#include <array>

#include "ui/pages/ConfigPageGeometry.h"

namespace arvestra {
namespace {

// 16 cells of 40 x 30 on two rows (y 100 and 200), 50 apart; 12 frames on two rows above.
struct Places {
    std::array<PixelRect, kConfigCells> cells{};
    std::array<PixelRect, kConfigFrames> frames{};
    std::array<bool, kConfigCells> cellTaken{};
    std::array<bool, kConfigFrames> frameTaken{};

    Places() {
        for (int i = 0; i < kConfigCells; ++i) {
            const int x = 100 + (i % 8) * 50;
            const int y = i < 8 ? 100 : 200;
            cells[static_cast<std::size_t>(i)] = {x, y, x + 40, y + 30};
        }
        for (int i = 0; i < kConfigFrames; ++i) {
            const int x = 100 + (i % 6) * 50;
            const int y = i < 6 ? 0 : 40;
            frames[static_cast<std::size_t>(i)] = {x, y, x + 40, y + 30};
        }
    }
    TilePlace Choose(PixelRect tile) const {
        return ChooseDropTarget(tile, cells, cellTaken, frames, frameTaken);
    }
};

PixelRect TileAt(int x, int y) {
    return {x, y, x + 40, y + 30};
}

TEST(DropTarget, NearestFreeCellOrStrictlyNearerFrame) {
    struct Case {
        const char* name;
        PixelRect tile;
        TilePlace expected;
    };
    const Case cases[] = {
        {"OnACell", TileAt(150, 100), {PlaceKind::Cell, 1}},
        {"OnAFrame", TileAt(200, 40), {PlaceKind::Frame, 8}},
        // Halfway between cells 0 and 1: the earlier cell wins, a later one must be nearer.
        {"TieBetweenCellsGoesToTheFirst", TileAt(125, 100), {PlaceKind::Cell, 0}},
        // Halfway between frame 6 (y 40) and cell 0 (y 100): cells come first.
        {"TieBetweenCellAndFrameGoesToTheCell", TileAt(100, 70), {PlaceKind::Cell, 0}},
        {"FrameOnePixelNearerWins", TileAt(100, 69), {PlaceKind::Frame, 6}},
        {"FarAwayStillHasATarget", TileAt(2000, 2000), {PlaceKind::Cell, 15}},
    };
    const Places places;
    for (const Case& c : cases) EXPECT_EQ(places.Choose(c.tile), c.expected) << c.name;
}

TEST(DropTarget, TakenPlacesAreSkippedAndAFullPageHasNone) {
    Places places;
    places.cellTaken[1] = true;
    EXPECT_EQ(places.Choose(TileAt(150, 100)), (TilePlace{PlaceKind::Cell, 0}));
    places.cellTaken.fill(true);
    places.frameTaken.fill(true);
    EXPECT_EQ(places.Choose(TileAt(150, 100)), TilePlace{});
}

ChainGeometry Geometry() {
    return ConfigChainGeometry(Places().cells);
}

TEST(TiePoints, NodesAroundP1ToP9RowAFirst) {
    const ChainGeometry g = Geometry();
    // Cells are 40 wide: node rectangles of half-size 40 / 12 = 3.
    EXPECT_EQ(g.rows[0].nodes[1].Width(), 6);
    const PixelPoint p1 = g.rows[0].points[1];
    ASSERT_TRUE(TiePointAt(g, p1));
    EXPECT_EQ(TiePointAt(g, p1)->row, 0);
    EXPECT_EQ(TiePointAt(g, p1)->position, 0);
    const PixelPoint p9 = g.rows[1].points[9];
    ASSERT_TRUE(TiePointAt(g, p9));
    EXPECT_EQ(TiePointAt(g, p9)->row, 1);
    EXPECT_EQ(TiePointAt(g, p9)->position, 8);
    EXPECT_FALSE(TiePointAt(g, g.rows[0].points[0])) << "P0 is an input, not a tie point";
    EXPECT_FALSE(TiePointAt(g, g.rows[0].points[10])) << "P10 is an output";
}

TEST(TieTarget, OtherRowsSideOfTheMidlineNearestXLowerOnEqualDistance) {
    const ChainGeometry g = Geometry();
    const int mid = g.midlineY;
    const int p3 = g.rows[1].points[3].x;
    const int p4 = g.rows[1].points[4].x;
    struct Case {
        int sourceRow;
        PixelPoint pointer;
        int expected;
    };
    const Case cases[] = {
        {0, {p3, mid}, 2},                  // on the midline counts as below
        {0, {p3, mid - 1}, -1},             // above: row 0's own side
        {0, {(p3 + p4) / 2, mid + 40}, 2},  // equal distance: the lower position
        {0, {-500, mid + 5}, 0},
        {0, {5000, mid + 5}, 8},
        {1, {p4, mid - 1}, 3},
        {1, {p4, mid}, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TieTargetFor(g, c.sourceRow, c.pointer), c.expected)
            << c.sourceRow << " " << c.pointer.x << "," << c.pointer.y;
    }
}

TEST(TieDrag, LineRunsDownToTheMidlineAndOnlyWithATargetAcross) {
    const ChainGeometry g = Geometry();
    const auto alone = TieDragSegments(g, 0, 2, -1);
    ASSERT_EQ(alone.size(), 1u);
    EXPECT_EQ(alone[0].from, g.rows[0].points[3]);
    EXPECT_EQ(alone[0].to.y, g.midlineY);
    const auto full = TieDragSegments(g, 0, 2, 8);
    ASSERT_EQ(full.size(), 3u);
    EXPECT_EQ(full[2].to, g.rows[1].points[9]);
}

TEST(TileParts, NameSpansLessTwoLetterBelowTopMasterAboveBottom) {
    const TileParts parts = PlaceTileParts({100, 50, 160, 100}, 10, {8, 9}, {40, 12});
    EXPECT_EQ(parts.name, (PixelRect{102, 70, 158, 80}));
    EXPECT_EQ(parts.letter, (PixelRect{126, 53, 134, 62}));
    EXPECT_EQ(parts.master, (PixelRect{110, 86, 150, 98}));
}

TEST(Layout, CellsAndFramesSitApartInsideThePage) {
    for (const DialogBaseUnits units : {DialogBaseUnits{6, 13}, DialogBaseUnits{9, 20}}) {
        const PixelRect page = DialogToPixels(kPageSize, units);
        const PixelRect chainBox = DialogToPixels(config_layout::kChainBox, units);
        for (int i = 0; i < kConfigCells; ++i) {
            const PixelRect c = CellRect(i, units);
            EXPECT_TRUE(chainBox.Contains(c.left, c.top) &&
                        chainBox.Contains(c.right - 1, c.bottom - 1))
                << i;
            for (int f = 0; f < kConfigFrames; ++f) {
                const PixelRect fr = FrameRect(f, units);
                EXPECT_TRUE(fr.bottom <= c.top) << "frame " << f << " above cell " << i;
                EXPECT_TRUE(page.Contains(fr.right - 1, fr.bottom - 1));
            }
        }
        // The chain's input and output points stay inside the chain frame.
        std::array<PixelRect, kConfigCells> cells{};
        for (int i = 0; i < kConfigCells; ++i)
            cells[static_cast<std::size_t>(i)] = CellRect(i, units);
        const ChainGeometry g = ConfigChainGeometry(cells);
        EXPECT_GT(g.rows[0].points[0].x, chainBox.left);
        EXPECT_LT(g.rows[1].points[10].x, chainBox.right);
    }
}

}  // namespace
}  // namespace arvestra
