// Feedback to subscribers: presets and bypass first, then the parameters that changed, at each
// subscriber's own rate, whoever changed them.
#include <gtest/gtest.h>

#include "document/DocTestSupport.h"
#include "model/ParamValue.h"
#include "osc/OscFeedback.h"

namespace arvestra::osc {
namespace {

using namespace std::chrono_literals;
using Clock = OscFeedback::Clock;

const OscPeer kConsole = OscPeer::V4(127, 0, 0, 1, 9001);
const OscPeer kTablet = OscPeer::V4(127, 0, 0, 2, 9002);

std::vector<std::string> Paths(const std::vector<OscOutgoing>& out, const OscPeer& to) {
    std::vector<std::string> paths;
    for (const OscOutgoing& o : out) {
        if (o.to == to) paths.push_back(o.message.path);
    }
    return paths;
}

struct Feedback : ::testing::Test {
    testing::DocBench bench;
    CQ7310Doc& doc = bench.doc;
    OscFeedback feedback;
    Clock::time_point t0 = Clock::now();

    Feedback() {
        EXPECT_EQ(doc.AddDevice(3), 3);
        doc.SelectDevice(1);
    }
};

TEST_F(Feedback, ASubscriberIsToldPresetsAndBypassFirstThenOnlyWhatChanged) {
    ASSERT_EQ(feedback.Subscribe(kConsole, 10, t0), "");
    const auto first = feedback.Tick(doc, t0);
    EXPECT_EQ(Paths(first, kConsole),
              (std::vector<std::string>{"/arvestra/1/preset", "/arvestra/1/bypass/1",
                                        "/arvestra/1/bypass/2", "/arvestra/3/preset",
                                        "/arvestra/3/bypass/1", "/arvestra/3/bypass/2"}));
    EXPECT_TRUE(feedback.Tick(doc, t0 + 100ms).empty()) << "nothing changed";

    // A change made elsewhere (a page of the editor): device 1 selected.
    doc.Edits().Set(ParamField::OutputLevel, kChannelB, 0, 190);
    EXPECT_TRUE(feedback.Tick(doc, t0 + 150ms).empty()) << "not yet due";
    const auto change = feedback.Tick(doc, t0 + 200ms);
    ASSERT_EQ(change.size(), 1u);
    EXPECT_EQ(change[0].message.path, "/arvestra/1/ch2.output.level");
    EXPECT_EQ(change[0].message.args[0].type, 'f');
}

TEST_F(Feedback, AValueMadeOfSeveralBytesIsToldOnceByItsName) {
    feedback.Subscribe(kConsole, 10, t0);
    feedback.Tick(doc, t0);
    doc.Edits().SetDelaySamples(kChannelA, 70000);  // every byte of the delay changes
    doc.SetPresetName("Matinee");
    const auto out = feedback.Tick(doc, t0 + 1s);
    EXPECT_EQ(Paths(out, kConsole),
              (std::vector<std::string>{"/arvestra/1/ch1.delay.time", "/arvestra/1/name"}));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_NEAR(out[0].message.args[0].number, ValueInPrintedUnit(Scale::Delay, kMaxDelaySamples),
                1e-9);
    EXPECT_EQ(out[1].message.args[0], OscArg::String("Matinee"));
}

TEST_F(Feedback, EachSubscriberHasItsOwnRate) {
    feedback.Subscribe(kConsole, 50, t0);
    feedback.Subscribe(kTablet, 2, t0);
    feedback.Tick(doc, t0);
    doc.SetBypass(kChannelA, true);
    const auto fast = feedback.Tick(doc, t0 + 20ms);
    EXPECT_EQ(Paths(fast, kConsole), std::vector<std::string>{"/arvestra/1/bypass/1"});
    EXPECT_TRUE(Paths(fast, kTablet).empty());
    EXPECT_EQ(Paths(feedback.Tick(doc, t0 + 500ms), kTablet),
              std::vector<std::string>{"/arvestra/1/bypass/1"});
}

TEST_F(Feedback, RatesAreLimitedAndALateTickSendsOnce) {
    feedback.Subscribe(kConsole, 1e9, t0);  // limited to the highest rate
    feedback.Tick(doc, t0);
    doc.Edits().Set(ParamField::InputLevel, kChannelA, 0, 180);
    EXPECT_TRUE(feedback.Tick(doc, t0 + 10ms).empty());
    EXPECT_EQ(feedback.Tick(doc, t0 + 20ms).size(), 1u);
    doc.Edits().Set(ParamField::InputLevel, kChannelA, 0, 181);
    EXPECT_EQ(feedback.Tick(doc, t0 + 5s).size(), 1u);
    EXPECT_TRUE(feedback.Tick(doc, t0 + 5s + 1ms).empty());
}

TEST_F(Feedback, SubscriptionsAreBoundedRenewedAndEnded) {
    for (std::uint16_t port = 1; port <= OscFeedback::kMaxSubscribers; ++port) {
        EXPECT_EQ(feedback.Subscribe(OscPeer::V4(127, 0, 0, 1, port), 10, t0), "");
    }
    EXPECT_NE(feedback.Subscribe(kTablet, 10, t0), "");
    EXPECT_EQ(feedback.Subscribe(OscPeer::V4(127, 0, 0, 1, 1), 5, t0), "") << "a renewal";
    EXPECT_EQ(feedback.Count(), OscFeedback::kMaxSubscribers);
    EXPECT_TRUE(feedback.Unsubscribe(OscPeer::V4(127, 0, 0, 1, 1)));
    EXPECT_FALSE(feedback.Unsubscribe(OscPeer::V4(127, 0, 0, 1, 1)));
    EXPECT_EQ(feedback.Subscribe(kTablet, 10, t0), "");
}

TEST_F(Feedback, MetersFollowOnlineOnly) {
    feedback.Subscribe(kConsole, 10, t0);
    for (const OscOutgoing& o : feedback.Tick(doc, t0))
        EXPECT_EQ(o.message.path.find("meters"), std::string::npos);
    bench.app.SetOnline(1);
    MeterRecord meters;
    meters.levelA = 77;
    doc.Bus().StoreMeters(meters);
    const auto out = feedback.Tick(doc, t0 + 100ms);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].message.path, "/arvestra/1/meters");
    ASSERT_EQ(out[0].message.args.size(), 10u);
    EXPECT_EQ(out[0].message.args[0], OscArg::Int(77));
    bench.app.SetOnline(0);
}

}  // namespace
}  // namespace arvestra::osc
