// Whole-channel EQ edits (an import, a fit) go through the block operations: the EQ Master link
// carries them to the other channel, and only changed codes are written.
#include <gtest/gtest.h>

#include "document/DocTestSupport.h"
#include "document/EqCodeEdits.h"
#include "tune/FitCases.h"

namespace arvestra::testing {
namespace {

using PF = ParamField;

TEST(EqCodeEdits, ImportedBandsFillTheFirstBandsAndFlattenTheRest) {
    DocBench bench;
    CQ7310Doc& doc = bench.doc;
    doc.Edits().Set(PF::EqParamGain, kChannelB, 9, 60);
    doc.Edits().Set(PF::EqParamBypass, kChannelB, 8, 1);
    ParametricCodes matched{};
    matched[0] = {16, 14, 80, false};
    matched[1] = {46, 21, 103, false};
    const bool kindChanged = ApplyImportedBands(doc.Edits(), kChannelB, matched, 2);
    EXPECT_TRUE(kindChanged);  // a new device's EQ is graphic
    EXPECT_EQ(ReadEqKind(doc.Edits(), kChannelB), EqKind::Parametric);
    const ParametricCodes bands = ReadParametricCodes(doc.Edits(), kChannelB);
    EXPECT_EQ(bands[0], matched[0]);
    EXPECT_EQ(bands[1], matched[1]);
    for (int i = 2; i < kParametricBandCount; ++i) {
        EXPECT_EQ(bands[static_cast<std::size_t>(i)].gain, ParametricBandCodes::kFlatGain) << i;
        EXPECT_FALSE(bands[static_cast<std::size_t>(i)].bypass) << i;
    }
    // Channel A is left alone while the EQ is not linked.
    EXPECT_EQ(ReadParametricCodes(doc.Edits(), kChannelA)[0].gain, ParametricBandCodes::kFlatGain);
    EXPECT_EQ(doc.Devices().PresetModified(), 1);
}

TEST(EqCodeEdits, AFitReachesBothChannelsWhenTheEqIsLinked) {
    DocBench bench;
    CQ7310Doc& doc = bench.doc;
    doc.Edits().SetMasterWithCopy(FieldBlock::Equaliser, kChannelA, 1);
    const GraphicGainCodes truth = fit_cases::RandomGraphic(4, 6);
    const auto made = FitProblem::Make(
        fit_cases::RequestFor(fit_cases::InverseWithNoise(fit_cases::GraphicLevels(truth, 6), 4)));
    ASSERT_TRUE(made.problem);
    doc.Edits().Set(PF::EqGraphicQ, kChannelA, 6);
    const AppliedFit fit = FitAndApply(doc.Edits(), kChannelA, EqKind::Graphic, *made.problem);
    EXPECT_FALSE(fit.kindChanged);
    EXPECT_LE(fit.after.rmsDb, 1.0);
    EXPECT_EQ(ReadGraphicGains(doc.Edits(), kChannelA), fit.gains);
    EXPECT_EQ(ReadGraphicGains(doc.Edits(), kChannelB), fit.gains);
}

}  // namespace
}  // namespace arvestra::testing
