#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "model/ParamField.h"
#include "model/PresetImage.h"
#include "model/SignalPath.h"

namespace arvestra {
namespace {

namespace N = RoutingNode;
using Curve = std::pair<int, CurveKind>;

struct WalkCase {
    const char* name;
    std::vector<std::pair<int, int>> sources;  // node, raw source value
    std::array<int, 2> equaliserType;
    int outputChannel;
    std::vector<Curve> expectedCurves;
    int expectedSource;
    int expectedNodes;
};

RoutingSnapshot Snapshot(const WalkCase& c) {
    RoutingSnapshot routing;
    for (const auto& [node, source] : c.sources) routing.sourceOf[node] = source;
    routing.equaliserType = c.equaliserType;
    return routing;
}

CurveSet Expected(const std::vector<Curve>& curves) {
    CurveSet set;
    for (const auto& [channel, kind] : curves) set.Add(channel, kind);
    return set;
}

class Walk : public testing::TestWithParam<WalkCase> {};

TEST_P(Walk, FindsTheCurvesFeedingTheOutput) {
    const WalkCase& c = GetParam();
    const SignalPath path = WalkSignalPath(Snapshot(c), c.outputChannel);
    EXPECT_EQ(path.curves, Expected(c.expectedCurves));
    EXPECT_EQ(path.sourceNode, c.expectedSource);
    EXPECT_EQ(path.ReachedSource(), c.expectedSource != N::kNone);
    EXPECT_EQ(path.nodesVisited, c.expectedNodes);
}

const CurveKind LP = CurveKind::LowPass;
const CurveKind HP = CurveKind::HighPass;
const CurveKind GEQ = CurveKind::Graphic;
const CurveKind PEQ = CurveKind::Parametric;

INSTANTIATE_TEST_SUITE_P(
    Chains, Walk,
    testing::Values(
        WalkCase{"input straight to output", {{N::kOutputA, N::kInputA}}, {0, 0}, 0, {}, 1, 1},
        WalkCase{"channel A filters and graphic EQ",
                 {{N::kOutputA, N::kLowPassA},
                  {N::kLowPassA, N::kHighPassA},
                  {N::kHighPassA, N::kEqualiserA},
                  {N::kEqualiserA, N::kInputA}},
                 {0, 1},
                 0,
                 {{0, LP}, {0, HP}, {0, GEQ}},
                 N::kInputA,
                 4},
        WalkCase{"parametric by the equaliser type",
                 {{N::kOutputB, N::kEqualiserB}, {N::kEqualiserB, N::kInputB}},
                 {0, 1},
                 1,
                 {{1, PEQ}},
                 N::kInputB,
                 2},
        WalkCase{"any non-zero type counts as parametric",
                 {{N::kOutputA, N::kEqualiserA}, {N::kEqualiserA, N::kInputA}},
                 {200, 0},
                 0,
                 {{0, PEQ}},
                 N::kInputA,
                 2},
        WalkCase{"cross-channel chain from the pink noise",
                 {{N::kOutputB, N::kEqualiserA},
                  {N::kEqualiserA, N::kDelayB},
                  {N::kDelayB, N::kCompLimiterB},
                  {N::kCompLimiterB, N::kLowPassB},
                  {N::kLowPassB, N::kPinkNoise}},
                 {0, 0},
                 1,
                 {{0, GEQ}, {1, LP}},
                 N::kPinkNoise,
                 5},
        WalkCase{"both equalisers in one path",
                 {{N::kOutputA, N::kEqualiserB},
                  {N::kEqualiserB, N::kCompLimiterA},
                  {N::kCompLimiterA, N::kEqualiserA},
                  {N::kEqualiserA, N::kDelayA},
                  {N::kDelayA, N::kInputB}},
                 {0, 1},
                 0,
                 {{1, PEQ}, {0, GEQ}},
                 N::kInputB,
                 5},
        WalkCase{"every block in one chain",
                 {{N::kOutputB, N::kEqualiserA},
                  {N::kEqualiserA, N::kEqualiserB},
                  {N::kEqualiserB, N::kDelayA},
                  {N::kDelayA, N::kDelayB},
                  {N::kDelayB, N::kCompLimiterA},
                  {N::kCompLimiterA, N::kCompLimiterB},
                  {N::kCompLimiterB, N::kLowPassA},
                  {N::kLowPassA, N::kLowPassB},
                  {N::kLowPassB, N::kHighPassA},
                  {N::kHighPassA, N::kHighPassB},
                  {N::kHighPassB, N::kInputA}},
                 {1, 0},
                 1,
                 {{0, PEQ}, {1, GEQ}, {0, LP}, {1, LP}, {0, HP}, {1, HP}},
                 N::kInputA,
                 11},
        WalkCase{"nothing connected to the output", {}, {0, 0}, 0, {}, N::kNone, 1},
        WalkCase{"chain broken after a filter",
                 {{N::kOutputA, N::kHighPassA}, {N::kHighPassA, N::kNone}},
                 {0, 0},
                 0,
                 {{0, HP}},
                 N::kNone,
                 2},
        WalkCase{"a node without a block leads nowhere",
                 {{N::kOutputA, N::kLowPassA}, {N::kLowPassA, 9}, {9, N::kInputA}},
                 {0, 0},
                 0,
                 {{0, LP}},
                 N::kNone,
                 3},
        WalkCase{"two-block loop is cut after 21 nodes",
                 {{N::kOutputA, N::kEqualiserA},
                  {N::kEqualiserA, N::kLowPassA},
                  {N::kLowPassA, N::kEqualiserA}},
                 {0, 0},
                 0,
                 {{0, GEQ}, {0, LP}},
                 N::kNone,
                 21},
        WalkCase{"self loop is cut after 21 nodes",
                 {{N::kOutputB, N::kHighPassB}, {N::kHighPassB, N::kHighPassB}},
                 {0, 0},
                 1,
                 {{1, HP}},
                 N::kNone,
                 21},
        WalkCase{
            "output source beyond the nodes", {{N::kOutputA, 200}}, {0, 0}, 0, {}, N::kNone, 1},
        WalkCase{"negative source value", {{N::kOutputA, -3}}, {0, 0}, 0, {}, N::kNone, 1},
        WalkCase{"block source beyond the nodes",
                 {{N::kOutputA, N::kLowPassB}, {N::kLowPassB, 63}},
                 {0, 0},
                 0,
                 {{1, LP}},
                 N::kNone,
                 2},
        WalkCase{"an output is never a stored source",
                 {{N::kOutputA, N::kOutputB}, {N::kOutputB, N::kInputB}},
                 {0, 0},
                 0,
                 {},
                 N::kNone,
                 1},
        WalkCase{"output feeding itself", {{N::kOutputB, N::kOutputB}}, {0, 0}, 1, {}, N::kNone, 1},
        WalkCase{
            "channel values other than 0 start at output B",
            {{N::kOutputA, N::kInputA}, {N::kOutputB, N::kLowPassB}, {N::kLowPassB, N::kInputB}},
            {0, 0},
            7,
            {{1, LP}},
            N::kInputB,
            2}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& ch : name) {
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        }
        return name;
    });

TEST(SignalPath, InitialImageRoutesEachInputStraightToItsOutput) {
    const PresetImage image = InitialPresetImage();
    for (int channel : {0, 1}) {
        const SignalPath path = WalkSignalPath(image.bytes, channel);
        EXPECT_TRUE(path.curves.Empty());
        EXPECT_EQ(path.sourceNode, channel == 0 ? N::kInputA : N::kInputB);
    }
}

TEST(SignalPath, ReadsTheRoutingFieldsOfAnImage) {
    PresetImage image = InitialPresetImage();
    WriteField(image.bytes, ParamField::OutputSource, 1, 0, N::kHighPassB);
    WriteField(image.bytes, ParamField::HpSource, 1, 0, N::kEqualiserB);
    WriteField(image.bytes, ParamField::EqSource, 1, 0, N::kLowPassA);
    WriteField(image.bytes, ParamField::EqType, 1, 0, 1);
    WriteField(image.bytes, ParamField::LpSource, 0, 0, N::kPinkNoise);
    // Master and bypass bits share the header byte and must not disturb the source.
    WriteField(image.bytes, ParamField::EqMaster, 1, 0, 1);
    WriteField(image.bytes, ParamField::EqBypass, 1, 0, 1);
    const SignalPath path = WalkSignalPath(image.bytes, 1);
    CurveSet expected;
    expected.Add(1, CurveKind::HighPass);
    expected.Add(1, CurveKind::Parametric);
    expected.Add(0, CurveKind::LowPass);
    EXPECT_EQ(path.curves, expected);
    EXPECT_EQ(path.sourceNode, N::kPinkNoise);
    EXPECT_EQ(path.nodesVisited, 4);
}

TEST(SignalPath, GarbageBytesInAnImageEndTheWalk) {
    PresetImage image;
    image.bytes.fill(0xFF);  // every source field reads 63, the output sources 255
    for (int channel : {0, 1}) {
        const SignalPath path = WalkSignalPath(image.bytes, channel);
        EXPECT_TRUE(path.curves.Empty());
        EXPECT_FALSE(path.ReachedSource());
        EXPECT_EQ(path.nodesVisited, 1);
    }
    const RoutingSnapshot routing = RoutingSnapshot::FromImage(image.bytes);
    EXPECT_EQ(routing.sourceOf[N::kEqualiserA], 63);
    EXPECT_EQ(routing.sourceOf[N::kOutputB], 255);
    EXPECT_EQ(routing.sourceOf[8], 0);  // no block, no field
}

}  // namespace
}  // namespace arvestra
