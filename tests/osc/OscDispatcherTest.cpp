// Messages applied to a document: the device they name changes through the same operations as
// the pages, nothing else does, and what cannot be applied is answered with an error.
#include <gtest/gtest.h>

#include <cstring>

#include "document/DocTestSupport.h"
#include "model/ParamValue.h"
#include "osc/OscDispatcher.h"
#include "osc/OscPacket.h"

namespace arvestra::osc {
namespace {

using PF = ParamField;
using Bytes = std::vector<std::uint8_t>;

const OscPeer kSender = OscPeer::V4(127, 0, 0, 1, 9001);

struct Dispatch : ::testing::Test {
    testing::DocBench bench;  // one device at address 1, selected
    CQ7310Doc& doc = bench.doc;
    OscFeedback feedback;
    OscDispatcher dispatcher{doc, feedback};

    Dispatch() {
        EXPECT_EQ(doc.AddDevice(3), 3);
        doc.SelectDevice(1);
    }
    std::vector<OscOutgoing> Send(const std::string& path, std::vector<OscArg> args = {}) {
        return dispatcher.Handle(OscMessage{path, std::move(args)}, kSender,
                                 OscFeedback::Clock::now());
    }
    Bytes Location() const {
        const std::uint8_t* first =
            doc.Devices().Location().Image(doc.Devices().Location().SlotOf(1), 0);
        const std::uint8_t* second =
            doc.Devices().Location().Image(doc.Devices().Location().SlotOf(3), 0);
        Bytes bytes(first, first + 256);
        bytes.insert(bytes.end(), second, second + 256);
        return bytes;
    }
    int Field(int address, PF field, int channel, int index = 0) {
        const std::uint8_t* image =
            doc.Devices().Location().Image(doc.Devices().Location().SlotOf(address), 0);
        return ReadField(std::span<const std::uint8_t, kPresetImageSize>(image, kPresetImageSize),
                         field, channel, index);
    }
};

long long CodeOf(const char* typed, Scale scale) {
    return *ParseParamValue(typed, scale).code;
}

bool IsError(const std::vector<OscOutgoing>& replies, const std::string& path) {
    return replies.size() == 1 && replies[0].message.path == "/arvestra/error" &&
           replies[0].message.args.size() == 2 && replies[0].message.args[0].text == path &&
           !replies[0].message.args[1].text.empty() && replies[0].to == kSender;
}

TEST_F(Dispatch, AFloatSetsTheValueInItsUnitOnTheNamedDeviceOnly) {
    EXPECT_TRUE(Send("/arvestra/3/ch1.input.level", {OscArg::Float(-6)}).empty());
    EXPECT_EQ(Field(3, PF::InputLevel, kChannelA), CodeOf("-6dB", Scale::Level));
    EXPECT_NE(Field(1, PF::InputLevel, kChannelA), CodeOf("-6dB", Scale::Level));
    EXPECT_EQ(doc.Devices().CurrentAddress(), 1) << "the editor's device is selected again";
    EXPECT_TRUE(dispatcher.TakeChanged());
    EXPECT_FALSE(dispatcher.TakeChanged());
}

TEST_F(Dispatch, AnIntIsACodeAndAStringReadsAsOnTheCommandLine) {
    Send("/arvestra/1/ch2.eq.graphic_gain.12", {OscArg::Int(41)});
    EXPECT_EQ(Field(1, PF::EqGraphicGain, kChannelB, 11), 41);
    Send("/arvestra/1/ch2.lp.cutoff", {OscArg::String("1kHz")});
    EXPECT_EQ(Field(1, PF::LpCutoff, kChannelB), CodeOf("1kHz", Scale::Frequency));
    Send("/arvestra/1/name", {OscArg::String("Sunday")});
    EXPECT_EQ(doc.Devices().GetPresetName(0).substr(0, 6), "Sunday");
}

TEST_F(Dispatch, ASetFollowsTheMasterLinkAsThePagesDo) {
    Send("/arvestra/1/ch1.eq.master", {OscArg::Int(1)});
    Send("/arvestra/1/ch1.eq.graphic_gain.1", {OscArg::Int(50)});
    EXPECT_EQ(Field(1, PF::EqGraphicGain, kChannelA, 0), 50);
    EXPECT_EQ(Field(1, PF::EqGraphicGain, kChannelB, 0), 50);
}

TEST_F(Dispatch, AValueOutOfRangeIsLimitedAppliedAndReported) {
    const auto replies = Send("/arvestra/1/ch1.input.level", {OscArg::Float(40)});
    EXPECT_TRUE(IsError(replies, "/arvestra/1/ch1.input.level"));
    EXPECT_EQ(Field(1, PF::InputLevel, kChannelA), FieldInfo(PF::InputLevel).hi);
}

struct Refused {
    const char* path;
    std::vector<OscArg> args;
};

class RefusedMessage : public Dispatch, public ::testing::WithParamInterface<Refused> {};

TEST_P(RefusedMessage, ChangesNothingAndIsAnsweredWithAnError) {
    const Bytes before = Location();
    const int presetBefore = doc.Devices().CurrentPreset();
    EXPECT_TRUE(IsError(Send(GetParam().path, GetParam().args), GetParam().path));
    EXPECT_EQ(Location(), before);
    EXPECT_EQ(doc.Devices().CurrentPreset(), presetBefore);
    EXPECT_EQ(doc.Devices().BypassA() + doc.Devices().BypassB(), 0);
    EXPECT_EQ(dispatcher.Errors(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, RefusedMessage,
    ::testing::Values(Refused{"/arvestra/5/ch1.input.level", {OscArg::Float(-6)}},
                      Refused{"/arvestra/1/ch1.input.lvl", {OscArg::Float(-6)}},
                      Refused{"/arvestra/1/ch1.input.level", {}},
                      Refused{"/arvestra/1/ch1.input.level", {OscArg::Float(-6), OscArg::Int(1)}},
                      Refused{"/arvestra/1/ch1.input.level", {OscArg{'b', 0, 0, {}}}},
                      Refused{"/arvestra/1/ch1.input.level", {OscArg::String("-6Hz")}},
                      Refused{"/arvestra/1/ch1.input.level/inc", {OscArg::String("1")}},
                      Refused{"/arvestra/1/ch1.input.level/get", {OscArg::Int(1)}},
                      Refused{"/arvestra/1/preset/recall", {OscArg::Int(9)}},
                      Refused{"/arvestra/1/preset/recall", {OscArg::Float(2.5)}},
                      Refused{"/arvestra/1/preset/store", {}},
                      Refused{"/arvestra/1/bypass/1", {OscArg::Int(2)}},
                      Refused{"/arvestra/all/ch1.input.level", {OscArg::String("loud")}},
                      Refused{"/arvestra/subscribe", {OscArg::String("fast")}},
                      Refused{"/arvestra/subscribe", {OscArg::Float(10), OscArg::Int(0)}},
                      Refused{"/arvestra/subscribe",
                              {OscArg::Float(10), OscArg::Int(9000), OscArg::Int(1)}},
                      Refused{"/arvestra/unsubscribe", {OscArg::Int(70000)}}));

TEST_F(Dispatch, ASubscriptionGoesToTheSendersHostAtThePortItNames) {
    EXPECT_TRUE(Send("/arvestra/subscribe", {OscArg::Float(20), OscArg::Int(9100)}).empty());
    const auto now = OscFeedback::Clock::now();
    const auto out = feedback.Tick(doc, now);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out[0].to, OscPeer::V4(127, 0, 0, 1, 9100));
    Send("/arvestra/unsubscribe", {OscArg::Int(9100)});
    EXPECT_EQ(feedback.Count(), 0u);
    Send("/arvestra/subscribe");
    EXPECT_EQ(feedback.Tick(doc, now + std::chrono::seconds(1)).at(0).to, kSender)
        << "without a port: the sender's";
}

TEST_F(Dispatch, AStepMovesFromTheDevicesOwnValue) {
    Send("/arvestra/3/ch1.eq.graphic_gain.1", {OscArg::Int(30)});
    Send("/arvestra/3/ch1.eq.graphic_gain.1/inc", {OscArg::Int(-2)});
    EXPECT_EQ(Field(3, PF::EqGraphicGain, kChannelA, 0), 28);
    EXPECT_TRUE(Send("/arvestra/3/ch1.eq.graphic_gain.1/inc", {OscArg::Int(100)}).empty());
    EXPECT_EQ(Field(3, PF::EqGraphicGain, kChannelA, 0), FieldInfo(PF::EqGraphicGain).hi);
}

TEST_F(Dispatch, AGetIsAnsweredToTheSenderInTheParametersUnit) {
    Send("/arvestra/3/ch2.output.level", {OscArg::String("-12dB")});
    const auto replies = Send("/arvestra/3/ch2.output.level/get");
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].to, kSender);
    EXPECT_EQ(replies[0].message.path, "/arvestra/3/ch2.output.level");
    ASSERT_EQ(replies[0].message.args.size(), 1u);
    EXPECT_EQ(replies[0].message.args[0].type, 'f');
    EXPECT_NEAR(replies[0].message.args[0].number, -12.0, 1e-9);
    const auto flag = Send("/arvestra/3/ch2.eq.bypass/get");
    ASSERT_EQ(flag.size(), 1u);
    EXPECT_EQ(flag[0].message.args[0], OscArg::Int(0));
}

TEST_F(Dispatch, RecallAndStoreWorkOnTheNamedDevice) {
    Send("/arvestra/3/ch1.eq.graphic_gain.5", {OscArg::Int(12)});
    EXPECT_TRUE(Send("/arvestra/3/preset/store", {OscArg::Int(4)}).empty());
    Send("/arvestra/3/ch1.eq.graphic_gain.5", {OscArg::Int(50)});
    EXPECT_TRUE(Send("/arvestra/3/preset/recall", {OscArg::Int(4)}).empty());
    EXPECT_EQ(Field(3, PF::EqGraphicGain, kChannelA, 4), 12);
    const auto preset = Send("/arvestra/3/preset/get");
    ASSERT_EQ(preset.size(), 1u);
    EXPECT_EQ(preset[0].message.path, "/arvestra/3/preset");
    EXPECT_EQ(preset[0].message.args[0], OscArg::Int(4));
    EXPECT_EQ(doc.Devices().CurrentAddress(), 1);
    EXPECT_EQ(bench.Asked(), std::vector<std::string>{}) << "a cue asks nothing";
}

TEST_F(Dispatch, BypassIsSetPerChannelAndAnswered) {
    Send("/arvestra/1/bypass/2", {OscArg::Int(1)});
    EXPECT_EQ(doc.Devices().BypassA(), 0);
    EXPECT_EQ(doc.Devices().BypassB(), 1);
    const auto replies = Send("/arvestra/1/bypass/2/get");
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].message.path, "/arvestra/1/bypass/2");
    EXPECT_EQ(replies[0].message.args[0], OscArg::Int(1));
}

TEST_F(Dispatch, AllReachesEveryDevicePresent) {
    Send("/arvestra/all/ch2.input.level", {OscArg::Float(-3)});
    EXPECT_EQ(Field(1, PF::InputLevel, kChannelB), CodeOf("-3dB", Scale::Level));
    EXPECT_EQ(Field(3, PF::InputLevel, kChannelB), CodeOf("-3dB", Scale::Level));
    const auto replies = Send("/arvestra/all/ch2.input.level/get");
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(replies[0].message.path, "/arvestra/1/ch2.input.level");
    EXPECT_EQ(replies[1].message.path, "/arvestra/3/ch2.input.level");
}

TEST_F(Dispatch, ABusyEditorRefusesAndChangesNothing) {
    dispatcher.SetBusyCheck([] { return true; });
    const Bytes before = Location();
    EXPECT_TRUE(IsError(Send("/arvestra/1/ch1.input.level", {OscArg::Float(-6)}),
                        "/arvestra/1/ch1.input.level"));
    EXPECT_EQ(Location(), before);
}

TEST_F(Dispatch, ABundleAppliesEachMessageAndAMalformedDatagramIsAnswered) {
    const Bytes message =
        EncodeOscMessage({"/arvestra/1/ch1.eq.graphic_gain.2", {OscArg::Int(44)}});
    Bytes bundle{
        '#', 'b', 'u', 'n', 'd', 'l', 'e', 0, 0, 0,
        0,   0,   0,   0,   0,   1,   0,   0, 0, static_cast<std::uint8_t>(message.size())};
    bundle.insert(bundle.end(), message.begin(), message.end());
    EXPECT_TRUE(dispatcher.HandleDatagram({kSender, bundle}, OscFeedback::Clock::now()).empty());
    EXPECT_EQ(Field(1, PF::EqGraphicGain, kChannelA, 1), 44);
    const auto replies =
        dispatcher.HandleDatagram({kSender, Bytes{'/', 'x', 0}}, OscFeedback::Clock::now());
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].message.path, "/arvestra/error");
}

}  // namespace
}  // namespace arvestra::osc
