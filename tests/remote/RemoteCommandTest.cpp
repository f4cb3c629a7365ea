#include <gtest/gtest.h>

#include "app/AppState.h"
#include "document/DocTestSupport.h"
#include "document/RemoteControl.h"
#include "remote/RemoteCommand.h"

namespace arvestra::remote {
namespace {

TEST(RemoteCommand, MalformedMessagesAreRefused) {
    const char* cases[] = {
        "",
        "not json",
        "[1,2]",
        "{}",
        R"({"t":"format"})",
        R"({"t":"set","field":"eq.graphic_gain","ch":0,"i":12})",
        R"({"t":"set","field":"eq.graphic_gain","ch":2,"i":12,"code":3})",
        R"({"t":"set","field":"eq.graphic_gain","ch":0,"i":31,"code":3})",
        R"({"t":"set","field":"eq.graphic_gain","ch":0,"i":-1,"code":3})",
        R"({"t":"set","field":"eq.graphic_gain","ch":0,"i":1.5,"code":3})",
        R"({"t":"set","field":"eq.graphic_gain","ch":0,"i":1,"code":3.25})",
        R"({"t":"set","field":"eq.graphic_gain","ch":0,"i":1,"code":"3"})",
        R"({"t":"set","field":"eq.graphic_gain","ch":0,"i":1,"code":1e300})",
        R"({"t":"set","field":"eq.source","ch":0,"code":1})",
        R"({"t":"set","field":"eq.master","ch":0,"code":1})",
        R"({"t":"set","field":"name_char","ch":0,"i":0,"code":65})",
        R"({"t":"set","field":"no.such","ch":0,"code":1})",
        R"({"t":"bypass","ch":0,"on":1})",
        R"({"t":"device","address":0})",
        R"({"t":"device","address":127})",
        R"({"t":"recall","preset":9})",
        R"({"t":"recall","preset":1,"name":"x"})",
        R"({"t":"recall","preset":1,"discard":"yes"})",
        R"({"t":"store","preset":0})",
        R"({"t":"store","preset":1,"name":5})",
    };
    for (const char* text : cases) EXPECT_FALSE(ParseRemoteCommand(text)) << text;
    const QByteArray longName = QByteArray(R"({"t":"store","preset":1,"name":")") +
                                QByteArray(kMaxNameChars + 1, 'x') + "\"}";
    EXPECT_FALSE(ParseRemoteCommand(longName));
}

TEST(RemoteCommand, WellFormedMessagesCarryTheirValues) {
    auto set = ParseRemoteCommand(R"({"t":"set","field":"eq.param_gain","ch":1,"i":9,"code":-7})");
    ASSERT_TRUE(set);
    EXPECT_EQ(set->kind, CommandKind::Set);
    EXPECT_EQ(set->field, ParamField::EqParamGain);
    EXPECT_EQ(set->channel, 1);
    EXPECT_EQ(set->index, 9);
    EXPECT_EQ(set->code, -7);
    auto level = ParseRemoteCommand(R"({"t":"set","field":"output.level","ch":0,"code":999})");
    ASSERT_TRUE(level);
    EXPECT_EQ(level->index, 0);
    auto store = ParseRemoteCommand(R"({"t":"store","preset":8,"name":"Sunday"})");
    ASSERT_TRUE(store);
    EXPECT_EQ(store->preset, 8);
    EXPECT_EQ(store->name.value_or(""), "Sunday");
}

class RemoteApply : public ::testing::Test {
  protected:
    CommandResult Apply(const char* text) {
        const auto command = ParseRemoteCommand(text);
        EXPECT_TRUE(command) << text;
        return command ? ApplyRemoteCommand(bench.doc, *command) : CommandResult{false, "parse"};
    }
    testing::DocBench bench;
};

TEST_F(RemoteApply, CodesOutsideTheRangeAreLimitedAsTheEditorDoes) {
    const struct {
        const char* message;
        ParamField field;
        int channel;
        int index;
        int expected;
    } cases[] = {
        {R"({"t":"set","field":"eq.graphic_gain","ch":0,"i":12,"code":999})",
         ParamField::EqGraphicGain, 0, 12, 60},
        {R"({"t":"set","field":"eq.graphic_gain","ch":1,"i":0,"code":-5})",
         ParamField::EqGraphicGain, 1, 0, 0},
        {R"({"t":"set","field":"input.level","ch":0,"code":100})", ParamField::InputLevel, 0, 0,
         152},
        {R"({"t":"set","field":"output.level","ch":1,"code":200})", ParamField::OutputLevel, 1, 0,
         200},
        {R"({"t":"set","field":"eq.type","ch":1,"code":5})", ParamField::EqType, 1, 0, 1},
        {R"({"t":"set","field":"eq.param_frequency","ch":1,"i":9,"code":101})",
         ParamField::EqParamFrequency, 1, 9, 100},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(Apply(c.message).ok) << c.message;
        EXPECT_EQ(bench.doc.Edits().Get(c.field, c.channel, c.index), c.expected) << c.message;
    }
    EXPECT_TRUE(bench.doc.Devices().PresetModified());
    EXPECT_TRUE(bench.doc.IsModified());
}

TEST_F(RemoteApply, ALinkedEqualiserChangesBothChannels) {
    bench.doc.Edits().SetMasterWithCopy(FieldBlock::Equaliser, kChannelA, 1);
    ASSERT_TRUE(Apply(R"({"t":"set","field":"eq.graphic_gain","ch":0,"i":3,"code":10})").ok);
    EXPECT_EQ(bench.doc.Edits().Get(ParamField::EqGraphicGain, kChannelA, 3), 10);
    EXPECT_EQ(bench.doc.Edits().Get(ParamField::EqGraphicGain, kChannelB, 3), 10);
}

TEST_F(RemoteApply, RecallOfAModifiedPresetNeedsDiscard) {
    ASSERT_TRUE(Apply(R"({"t":"set","field":"eq.graphic_gain","ch":0,"i":3,"code":10})").ok);
    const CommandResult refused = Apply(R"({"t":"recall","preset":2})");
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.error.find("modified"), std::string::npos);
    EXPECT_EQ(bench.doc.Edits().Get(ParamField::EqGraphicGain, kChannelA, 3), 10);
    EXPECT_TRUE(bench.Asked().empty());
    EXPECT_TRUE(Apply(R"({"t":"recall","preset":2,"discard":true})").ok);
    EXPECT_EQ(bench.doc.Devices().CurrentPreset(), 2);
    EXPECT_NE(bench.doc.Edits().Get(ParamField::EqGraphicGain, kChannelA, 3), 10);
    EXPECT_TRUE(bench.Asked().empty());
}

TEST_F(RemoteApply, StoreNamesAndKeepsThePreset) {
    ASSERT_TRUE(Apply(R"({"t":"set","field":"eq.graphic_gain","ch":0,"i":3,"code":11})").ok);
    ASSERT_TRUE(Apply(R"({"t":"store","preset":5,"name":"Café"})").ok);
    EXPECT_EQ(bench.doc.Devices().CurrentPreset(), 5);
    EXPECT_EQ(bench.doc.Devices().GetPresetName(5).substr(0, 4), "Caf\xE9");
    EXPECT_FALSE(bench.doc.Devices().PresetModified());
    ASSERT_TRUE(Apply(R"({"t":"recall","preset":5})").ok);
    EXPECT_EQ(bench.doc.Edits().Get(ParamField::EqGraphicGain, kChannelA, 3), 11);
}

TEST(RemoteApplyNoDevice, EditsWithoutADeviceAreRefused) {
    testing::DocBench bench(false);
    const auto command =
        ParseRemoteCommand(R"({"t":"set","field":"eq.graphic_gain","ch":0,"i":3,"code":10})");
    ASSERT_TRUE(command);
    EXPECT_FALSE(ApplyRemoteCommand(bench.doc, *command).ok);
    const auto device = ParseRemoteCommand(R"({"t":"device","address":5})");
    ASSERT_TRUE(device);
    EXPECT_FALSE(ApplyRemoteCommand(bench.doc, *device).ok);
}

// A remote control whose front-panel operations fail as they do when the bus does: device 1 is
// being edited and every exchange answers with the outcome a case sets.
class FailingControl : public IRemoteControl {
  public:
    FailingControl() {
        devices_.Enter(1, 0);
        devices_.RebuildPresentTable();
        devices_.MakeCurrent(1);
    }
    bool IsOnline() const override { return true; }
    const DeviceTable& Devices() const override { return devices_; }
    const EditBuffer& Edits() const override { return edits_; }
    MeterRecord Meters() const override { return {}; }
    bool AnyIndicatorLit(int /*channel*/) const override { return false; }
    EditListenerId ListenToEdits(EditListener /*listener*/) override { return 0; }
    void StopListeningToEdits(EditListenerId /*id*/) override {}
    void SelectDevice(int /*address*/) override {}
    int EditDevice(int /*address*/) override { return 0; }
    bool ApplyEdits(std::span<const ParamEdit> /*edits*/, EditReason /*reason*/) override {
        return false;
    }
    int RecallPresetDiscardingEdits(int /*preset*/) override { return 0; }
    StoreOutcome StorePresetAs(int preset, std::optional<std::string_view> latin1Name) override {
        storedAs = preset;
        storedName = latin1Name ? std::string(*latin1Name) : std::string("(none)");
        return store;
    }
    int SetBypass(int /*channel*/, bool /*on*/) override { return 0; }
    void NotifyViewsOfChange() override {}

    StoreOutcome store = StoreOutcome::Stored;
    int storedAs = 0;
    std::string storedName;

  private:
    AppState app_;
    DeviceTable devices_{app_};
    EditBuffer edits_{[] { return false; }, [](bool /*presetToo*/) {}};
};

TEST(RemoteApplyFailures, EachFailedExchangeHasItsOwnMessage) {
    using Outcome = IRemoteControl::StoreOutcome;
    const struct {
        const char* message;
        Outcome store;
        const char* error;
    } cases[] = {
        {R"({"t":"device","address":1})", Outcome::Stored, "The device did not answer."},
        {R"({"t":"device","address":9})", Outcome::Stored, "There is no such device."},
        {R"({"t":"recall","preset":2})", Outcome::Stored, "The preset was not recalled."},
        {R"({"t":"store","preset":3,"name":"Hall"})", Outcome::NameNotSent,
         "The preset name was not sent."},
        {R"({"t":"store","preset":3})", Outcome::NotStored, "The preset was not stored."},
        {R"({"t":"bypass","ch":1,"on":true})", Outcome::Stored, "The bypass was not sent."},
    };
    for (const auto& c : cases) {
        FailingControl control;
        control.store = c.store;
        const auto command = ParseRemoteCommand(c.message);
        ASSERT_TRUE(command) << c.message;
        const CommandResult result = ApplyRemoteCommand(control, *command);
        EXPECT_FALSE(result.ok) << c.message;
        EXPECT_EQ(result.error, c.error) << c.message;
    }
}

TEST(RemoteApplyFailures, AStoreNamesThePresetItStoresInto) {
    FailingControl control;
    const auto command = ParseRemoteCommand(R"({"t":"store","preset":4,"name":"Café"})");
    ASSERT_TRUE(command);
    EXPECT_TRUE(ApplyRemoteCommand(control, *command).ok);
    EXPECT_EQ(control.storedAs, 4);
    EXPECT_EQ(control.storedName, "Caf\xE9");  // the device's names are Latin-1
}

}  // namespace
}  // namespace arvestra::remote
