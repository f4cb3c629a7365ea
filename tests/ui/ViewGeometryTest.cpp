// The main view's plain geometry and numbers, without a window: the block table, the EQ page a
// block opens, level read-outs, meter positions, the chain map and the background picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/CommandId.h"
#include "ui/controls/MeterGeometry.h"
#include "ui/controls/SliderGeometry.h"
#include "ui/pages/BlockTable.h"
#include "ui/view/ChainMapGeometry.h"
#include "ui/view/StripPicture.h"
#include "ui/view/StripValues.h"
#include "ui/view/ViewLayout.h"

namespace arvestra {
namespace {

// ---- Block table ---------------------------------------------------------------------------

struct BlockCase {
    int code;
    const char* label;
    std::optional<CommandId> command;
};

TEST(BlockTableTest, LabelsAndViewCommandsOfEveryCode) {
    const BlockCase cases[] = {
        {0, "", std::nullopt},
        {1, "EQ", CommandId::ViewEqA},
        {2, "EQ", CommandId::ViewEqB},
        {3, "D", CommandId::ViewDelayA},
        {4, "D", CommandId::ViewDelayB},
        {5, "C", CommandId::ViewCompLimA},
        {6, "", std::nullopt},
        {7, "", std::nullopt},
        {8, "C", CommandId::ViewCompLimB},
        {9, "", std::nullopt},
        {10, "", std::nullopt},
        {11, "LP", CommandId::ViewLowPassA},
        {12, "LP", CommandId::ViewLowPassB},
        {13, "HP", CommandId::ViewHighPassA},
        {14, "HP", CommandId::ViewHighPassB},
        {15, "", std::nullopt},
        {-1, "", std::nullopt},
    };
    for (const BlockCase& c : cases) {
        EXPECT_STREQ(ChainButtonLabel(c.code), c.label) << c.code;
        EXPECT_EQ(ViewCommandOfBlock(c.code), c.command) << c.code;
        if (c.command) {
            ASSERT_NE(FindBlockByCommand(*c.command), nullptr);
            EXPECT_EQ(FindBlockByCommand(*c.command)->code, c.code);
        }
    }
    EXPECT_EQ(FindBlockByCommand(CommandId::MeterRefresh), nullptr);
    EXPECT_EQ(FindBlockByCommand(CommandId::ViewDeviceConfiguration), nullptr);
}

// ---- EQ page resolution ----------------------------------------------------------------------

struct EqCase {
    const char* name;
    int block;
    bool parametricA;
    bool parametricB;
    std::vector<int> chainA;  // block codes in channel A's chain list
    std::vector<int> chainB;
    PageKind expected;
};

TEST(ResolveEqPageTest, FollowsTheEqualiserThatSharesTheBlocksPath) {
    const PageKind G = PageKind::GraphicEq;
    const PageKind P = PageKind::ParametricEq;
    const EqCase cases[] = {
        {"EQ A parametric", 1, true, false, {}, {}, P},
        {"EQ A graphic, B parametric", 1, false, true, {}, {}, G},
        {"EQ B parametric", 2, false, true, {}, {}, P},
        {"EQ B graphic, A parametric", 2, true, false, {}, {}, G},
        {"low pass in no list", 11, true, true, {}, {}, G},
        {"low pass with EQ A", 11, true, false, {11, 1}, {}, P},
        {"low pass with EQ B only", 12, false, true, {12, 2}, {}, P},
        {"high pass in A without EQ, B with EQ B", 13, false, true, {13}, {13, 2}, P},
        {"list A decides before list B", 14, false, true, {14, 1}, {14, 2}, G},
        {"EQ A before EQ B in one list", 11, false, true, {2, 11, 1}, {}, G},
        {"low pass in list B with EQ A", 11, true, false, {1}, {11, 1}, P},
        {"delay block", 3, true, true, {3, 1}, {}, G},
        {"unknown code", 99, true, true, {}, {}, G},
    };
    for (const EqCase& c : cases) {
        EqPageInputs inputs;
        inputs.parametric = {c.parametricA, c.parametricB};
        for (int code : c.chainA) inputs.inChain[0][static_cast<std::size_t>(code)] = true;
        for (int code : c.chainB) inputs.inChain[1][static_cast<std::size_t>(code)] = true;
        EXPECT_EQ(ResolveEqPage(c.block, inputs), c.expected) << c.name;
    }
}

// ---- Levels and meters -----------------------------------------------------------------------

TEST(StripValuesTest, LevelReadOutsInHalfDecibelSteps) {
    const std::pair<int, const char*> cases[] = {
        {152, "-20.0 dB"}, {153, "-19.5 dB"}, {191, "-0.5 dB"}, {192, "0.0 dB"},
        {193, "0.5 dB"},   {231, "19.5 dB"},  {232, "20.0 dB"},
    };
    for (const auto& [code, text] : cases) EXPECT_EQ(LevelText(code), text) << code;
}

TEST(StripValuesTest, ReductionMeterShowsFortyOneLessTheReduction) {
    const std::pair<int, int> cases[] = {{0, 41}, {1, 40}, {20, 21}, {41, 0}, {82, 0}, {255, 0}};
    for (const auto& [reduction, position] : cases) {
        EXPECT_EQ(ReductionMeterPosition(reduction), position) << reduction;
    }
}

TEST(StripValuesTest, MeterPositionsFollowTheMeterMembersInIdOrder) {
    MeterReadings readings;
    readings.levelA = 10;
    readings.levelB = 20;
    readings.level2A = 30;
    readings.level2B = 114;
    readings.reduction1 = {1, 2};   // rows L
    readings.reduction2 = {3, 82};  // rows H
    const std::array<int, 8> expected{10, 20, 30, 114, 38, 40, 0, 39};
    EXPECT_EQ(MeterPositions(readings), expected);
}

// ---- Chain map -------------------------------------------------------------------------------

// Buttons 16 pixels wide with 4-pixel gaps (h = 2), rows at y 50 and 80, 10 pixels high.
std::array<PixelRect, 16> TestButtons() {
    std::array<PixelRect, 16> buttons{};
    for (int slot = 0; slot < 16; ++slot) {
        const int left = 100 + 20 * (slot % 8);
        const int top = slot < 8 ? 50 : 80;
        buttons[static_cast<std::size_t>(slot)] = {left, top, left + 16, top + 10};
    }
    return buttons;
}

TEST(ChainMapGeometryTest, PointsNodesMidlineAndArea) {
    const std::array<PixelRect, 16> buttons = TestButtons();
    const ChainGeometry g = ComputeChainGeometry(buttons);
    const std::array<int, 11> xs{92, 98, 118, 138, 158, 178, 198, 218, 238, 258, 264};
    for (int row = 0; row < 2; ++row) {
        const ChainRowGeometry& line = g.rows[static_cast<std::size_t>(row)];
        EXPECT_EQ(line.y, row == 0 ? 55 : 85);
        for (std::size_t k = 0; k < xs.size(); ++k) {
            EXPECT_EQ(line.points[k], (PixelPoint{xs[k], line.y})) << row << " P" << k;
            // Half-size (16 / 4) / 2 = 2.
            EXPECT_EQ(line.nodes[k], (PixelRect{xs[k] - 2, line.y - 2, xs[k] + 2, line.y + 2}));
        }
    }
    EXPECT_EQ(g.midlineY, 70);
    EXPECT_EQ(g.area, (PixelRect{84, 50, 272, 90}));
}

struct TieCase {
    const char* name;
    ChainTie tie;
    std::size_t rowASegments;
    std::size_t rowBSegments;
    std::vector<ChainSegment> connector;
};

TEST(ChainMapGeometryTest, TieLeavesOutTheTiedRowsStartAndDrawsTheConnector) {
    const ChainGeometry g = ComputeChainGeometry(TestButtons());
    const TieCase cases[] = {
        {"no tie", {false, 1, {3, 5}}, 10, 10, {}},
        {"A feeds B: tap after A's slot 2, B enters before slot 5",
         {true, 1, {3, 5}},
         10,
         4,
         {{{158, 55}, {158, 70}}, {{158, 70}, {198, 70}}, {{198, 70}, {198, 85}}}},
        {"B feeds A from its input into A's output",
         {true, 0, {8, 0}},
         1,
         10,
         {{{98, 85}, {98, 70}}, {{98, 70}, {258, 70}}, {{258, 70}, {258, 55}}}},
        {"positions past 8 count as 8",
         {true, 1, {12, 15}},
         10,
         1,
         {{{258, 55}, {258, 70}}, {{258, 70}, {258, 70}}, {{258, 70}, {258, 85}}}},
    };
    for (const TieCase& c : cases) {
        const ChainMapPicture map = ComputeChainMapPicture(g, c.tie);
        ASSERT_EQ(map.circles.size(), 4u) << c.name;
        EXPECT_EQ(map.circles[0], g.rows[0].nodes[0]);
        EXPECT_EQ(map.circles[3], g.rows[1].nodes[10]);
        const std::size_t lines = c.rowASegments + c.rowBSegments;
        ASSERT_EQ(map.segments.size(), lines + c.connector.size()) << c.name;
        const auto onRow = [&](int y) {
            return static_cast<std::size_t>(
                std::count_if(map.segments.begin(), map.segments.begin() + static_cast<long>(lines),
                              [y](const ChainSegment& s) { return s.from.y == y && s.to.y == y; }));
        };
        EXPECT_EQ(onRow(55), c.rowASegments) << c.name;
        EXPECT_EQ(onRow(85), c.rowBSegments) << c.name;
        const std::vector<ChainSegment> connector(map.segments.begin() + static_cast<long>(lines),
                                                  map.segments.end());
        EXPECT_EQ(connector, c.connector) << c.name;
    }
}

TEST(ChainMapGeometryTest, TiedRowKeepsOnlyTheSegmentsFromItsEntryPoint) {
    const ChainGeometry g = ComputeChainGeometry(TestButtons());
    const ChainMapPicture map = ComputeChainMapPicture(g, {true, 1, {0, 5}});
    std::vector<int> rowBStarts;
    for (const ChainSegment& s : map.segments) {
        if (s.from.y == 85 && s.to.y == 85) rowBStarts.push_back(s.from.x);
    }
    // Segments 6..9 of row B remain: they start at P6 .. P9.
    EXPECT_EQ(rowBStarts, (std::vector<int>{198, 218, 238, 258}));
}

// ---- Form and picture ------------------------------------------------------------------------

TEST(ViewLayoutTest, ChainButtonsFormTwoRowsOfEight) {
    for (std::size_t slot = 0; slot < kChainButtonIds.size(); ++slot) {
        const DialogRect r = FormPlaceOf(kChainButtonIds[slot]);
        EXPECT_EQ(r.x, 408 + 14 * static_cast<int>(slot % 8)) << slot;
        EXPECT_EQ(r.y, slot < 8 ? 280 : 296) << slot;
        EXPECT_EQ(r.width, 12);
        EXPECT_EQ(r.height, 10);
    }
    EXPECT_EQ(FormPlaceOf(4242).width, 0);
}

TEST(ViewLayoutTest, ClientAreaFitsThePictureWithAFivePixelMargin) {
    const DialogBaseUnits units{6, 13};
    const PixelRect picture = PictureRect(units);
    EXPECT_EQ(picture, (PixelRect{0, 0, 791, 535}));
    EXPECT_EQ(ViewClientSizeForPicture(picture), (PixelPoint{796, 540}));
    // The pages sit one pixel right of the placeholder at (4, 20) and have 520 x 241 units.
    EXPECT_EQ(PageAreaRect(units), (PixelRect{7, 33, 787, 425}));
}

const DialogBaseUnits kUnitsCases[] = {{6, 13}, {5, 11}, {7, 15}, {8, 16}, {9, 20}, {12, 26}};

TEST(StripPictureTest, SliderMarksSitAtTheThumbCentres) {
    for (const DialogBaseUnits& units : kUnitsCases) {
        for (const int id : {1123, 1125}) {
            const PixelRect slider = FormPixels(id, units);
            const std::vector<ScaleMark> marks = SliderScaleMarks(slider);
            const int codes[] = {152, 172, 192, 212, 232};
            ASSERT_EQ(marks.size(), 5u);
            for (std::size_t i = 0; i < marks.size(); ++i) {
                SliderLookInput input;
                input.width = slider.Width();
                input.height = slider.Height();
                input.range = {152, 232, false};
                input.position = codes[i];
                const PixelRect thumb = ComputeSliderLook(input).thumb;
                const int centre = slider.left + (thumb.left + thumb.right) / 2;
                EXPECT_NEAR(marks[i].x, centre, 1) << units.x << " " << marks[i].text;
            }
            EXPECT_STREQ(marks.front().text, "-20");
            EXPECT_STREQ(marks.back().text, "20");
        }
    }
}

// The x where a meter at `position` stops drawing lit segments.
int LitEndX(const PixelRect& meter, int position, int maximum) {
    return meter.left + MeterLitEnd({meter.Width(), meter.Height(), 0, maximum, position});
}

TEST(StripPictureTest, MeterMarksSitWhereTheBarsEnd) {
    for (const DialogBaseUnits& units : kUnitsCases) {
        const PixelRect input = FormPixels(1127, units);
        const std::vector<ScaleMark> in = InputMeterMarks(input);
        EXPECT_STREQ(in.front().text, "45");
        EXPECT_EQ(in.front().x, LitEndX(input, 0, 90));
        EXPECT_STREQ(in.back().text, "0");
        EXPECT_EQ(in.back().x, LitEndX(input, 90, 90));
        EXPECT_EQ(in[3].x, LitEndX(input, 50, 90));  // -20 dBFS

        const PixelRect output = FormPixels(1129, units);
        const std::vector<ScaleMark> out = OutputMeterMarks(output);
        EXPECT_STREQ(out.front().text, "-33");
        EXPECT_EQ(out.front().x, LitEndX(output, 0, 114));
        EXPECT_STREQ(out[3].text, "0");
        EXPECT_EQ(out[3].x, LitEndX(output, 66, 114));
        EXPECT_STREQ(out.back().text, "24");
        EXPECT_EQ(out.back().x, LitEndX(output, 114, 114));

        const PixelRect reduction = FormPixels(1132, units);
        const std::vector<ScaleMark> gr = ReductionMeterMarks(reduction);
        EXPECT_STREQ(gr.front().text, "20");
        EXPECT_EQ(gr.front().x, LitEndX(reduction, 1, 41));  // 20 dB = 40 half-dB steps
        EXPECT_STREQ(gr[gr.size() - 2].text, "2");
        EXPECT_EQ(gr[gr.size() - 2].x, LitEndX(reduction, 37, 41));
        EXPECT_STREQ(gr.back().text, "TH");
        EXPECT_EQ(gr.back().x, LitEndX(reduction, 41, 41));
        // Marks run left to right.
        for (const auto* marks : {&in, &out, &gr}) {
            EXPECT_TRUE(
                std::is_sorted(marks->begin(), marks->end(),
                               [](const ScaleMark& a, const ScaleMark& b) { return a.x < b.x; }));
        }
    }
}

bool Overlap(const PixelRect& a, const PixelRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TEST(StripPictureTest, CaptionsStayInsideThePictureAndOffTheControlsAtEveryFontSize) {
    for (const DialogBaseUnits& units : kUnitsCases) {
        const Picture picture = ComputeStripPicture(units);
        const std::vector<PixelRect> controls = StripControlRects(units);
        for (std::size_t i = 0; i < picture.texts.size(); ++i) {
            const PictureText& text = picture.texts[i];
            const PixelRect& box = text.box;
            EXPECT_FALSE(box.IsEmpty()) << text.text;
            EXPECT_TRUE(box.left >= 0 && box.top >= 0 && box.right <= picture.bounds.right &&
                        box.bottom <= picture.bounds.bottom)
                << text.text << " at units " << units.x << "x" << units.y;
            for (const PixelRect& control : controls) {
                EXPECT_FALSE(Overlap(box, control)) << text.text << " at units " << units.x;
            }
            for (std::size_t j = i + 1; j < picture.texts.size(); ++j) {
                EXPECT_FALSE(Overlap(box, picture.texts[j].box))
                    << text.text << " / " << picture.texts[j].text << " at units " << units.x;
            }
            // Captions grow with the font.
            EXPECT_GE(text.pixelSize, (5 * units.y) / 8) << text.text;
        }
    }
}

TEST(StripPictureTest, CarriesEveryCaptionOfTheStrip) {
    const Picture picture = ComputeStripPicture({6, 13});
    for (const char* caption :
         {"Input Level", "Gain Reduction", "Output Level", "Ch 1", "Ch 2", "dBFS", "dBu", "H", "L",
          "TH", "Device Configuration", "45", "-33", "24", "-20", "20"}) {
        EXPECT_NE(picture.FindText(caption), nullptr) << caption;
    }
    const auto count = [&](const std::string& text) {
        return std::count_if(picture.texts.begin(), picture.texts.end(),
                             [&](const PictureText& t) { return t.text == text; });
    };
    EXPECT_EQ(count("H"), 2);
    EXPECT_EQ(count("L"), 2);
    EXPECT_EQ(count("-20"), 3);  // two slider scales and the output meter scale
}

TEST(StripPictureTest, MetersHaveSunkenFrames) {
    const DialogBaseUnits units{6, 13};
    const Picture picture = ComputeStripPicture(units);
    for (const int id : kMeterIds) {
        const PixelRect m = FormPixels(id, units);
        const int midX = (m.left + m.right) / 2;
        const int midY = (m.top + m.bottom) / 2;
        EXPECT_EQ(InkAt(picture.runs, m.left - 1, midY, Ink::Panel), Ink::Dark) << id;
        EXPECT_EQ(InkAt(picture.runs, midX, m.top - 1, Ink::Panel), Ink::Dark) << id;
        EXPECT_EQ(InkAt(picture.runs, m.right, midY, Ink::Panel), Ink::White) << id;
        EXPECT_EQ(InkAt(picture.runs, midX, m.bottom, Ink::Panel), Ink::White) << id;
    }
}

}  // namespace
}  // namespace arvestra
