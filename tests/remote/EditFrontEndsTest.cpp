// The same edits through every front end that edits parameters: "arvestra-cli set", settings
// import, the copy (file to file and into the open location), the remote page, OSC, an
// equaliser fit, and undo/redo of an edit made on a page. Each must leave the same bytes in the
// device's edit buffer.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <nlohmann/json.hpp>

#include "document/DocCopy.h"
#include "document/DocTestSupport.h"
#include "document/EditPath.h"
#include "document/EditReplay.h"
#include "document/EqCodeEdits.h"
#include "document/SettingsJson.h"
#include "osc/OscDispatcher.h"
#include "osc/OscRoute.h"
#include "remote/RemoteCommand.h"

namespace arvestra::testing {
namespace {

using PF = ParamField;
using Image = std::vector<std::uint8_t>;

constexpr int kTarget = 1;  // the device edited
constexpr int kSource = 3;  // a copy's source: the target's twin holding the edited value

enum FrontEnd : unsigned {
    kSet = 1,
    kImport = 2,
    kCopyFiles = 4,
    kCopyInto = 8,
    kRemote = 16,
    kUndoRedo = 32,
    kOsc = 64,
    kFit = 128,  // equaliser codes only
    kAll = 127,
};

struct EditRow {
    const char* name;
    const char* edit;    // as "arvestra-cli set" takes it
    SettingId setting;   // the setting a copy carries it in
    unsigned frontEnds;  // those that can state the edit
};

ParamEdit Parsed(const EditRow& row) {
    return *ParseParamEdit(row.edit).edit;
}

// Device 1 with its equaliser linked from channel 1 and a delay of 1000 samples on channel 1.
struct Bench : DocBench {
    Bench() {
        doc.Edits().SetMasterWithCopy(FieldBlock::Equaliser, kChannelA, 1);
        doc.Edits().SetDelaySamples(kChannelA, 1000);
    }
    // The 250 bytes of the target's edit buffer.
    Image EditBuffer() {
        Image image = ImageOf(kTarget, 0);
        image.resize(kPresetImageSize);
        return image;
    }
};

// The source of a copy: a twin of device 1 whose edit buffer holds the edited field on the
// edited channel alone, written raw, so that any link in the result is the target's doing.
void AddCopySource(Bench& bench, const ParamEdit& edit) {
    ASSERT_EQ(bench.doc.AddDevice(kSource), kSource);
    CLocationImage& location = bench.doc.Devices().Location();
    const int from = location.SlotOf(kTarget);
    const int to = location.SlotOf(kSource);
    std::copy_n(location.Record(from), kDeviceRecordSize, location.Record(to));
    const auto image =
        std::span<std::uint8_t, kPresetImageSize>(location.Image(to, 0), kPresetImageSize);
    const int channel = edit.ref.channel == kNoChannel ? kChannelA : edit.ref.channel;
    WriteField(image, edit.ref.field, channel, edit.ref.index, edit.code);
    bench.doc.SelectDevice(kTarget);
}

CopyRequest SettingCopy(SettingId setting) {
    CopyRequest request;
    request.what = CopyWhat::Setting;
    request.fromAddress = kSource;
    request.fromImage = 0;
    request.fromSetting = setting;
    request.toAddresses = {kTarget};
    request.toImages = {0};
    request.toSettings = {setting};
    return request;
}

Image ThroughSet(const EditRow& row) {
    Bench bench;
    const ParamEdit edit = Parsed(row);
    EXPECT_TRUE(
        ApplyDocumentEdits(bench.doc, std::span<const ParamEdit>(&edit, 1), EditReason::Cli));
    return bench.EditBuffer();
}

Image ThroughImport(const EditRow& row) {
    Bench bench;
    const ParamEdit edit = Parsed(row);
    nlohmann::json file = {{"format", kSettingsFormatName},
                           {"version", kSettingsFormatVersion},
                           {"kind", "preset"},
                           {"preset", {{FormatParamName(edit.ref), edit.code}}}};
    const ImportReport report = ImportSettingsJson(bench.doc, file.dump(), {kTarget});
    EXPECT_FALSE(report.refused) << report.refusal;
    return bench.EditBuffer();
}

Image ThroughCopyBetweenFiles(const EditRow& row) {
    Bench bench;
    AddCopySource(bench, Parsed(row));
    // What "arvestra-cli copy FROM ... TO" does to the files it loads, here on one location.
    CLocationImage& location = bench.doc.Devices().Location();
    EXPECT_EQ(CopyBetweenLocations(location, location, SettingCopy(row.setting), false), "");
    return bench.EditBuffer();
}

Image ThroughCopyIntoLocation(const EditRow& row) {
    Bench bench;
    AddCopySource(bench, Parsed(row));
    EXPECT_EQ(CopyIntoDocument(bench.doc, bench.doc.Devices().Location(), SettingCopy(row.setting)),
              "");
    return bench.EditBuffer();
}

Image ThroughRemote(const EditRow& row) {
    Bench bench;
    const ParamEdit edit = Parsed(row);
    QJsonObject message{{"t", "set"},
                        {"field", FieldInfo(edit.ref.field).name},
                        {"ch", edit.ref.channel},
                        {"i", edit.ref.index},
                        {"code", static_cast<double>(edit.code)}};
    const auto command = remote::ParseRemoteCommand(QJsonDocument(message).toJson());
    EXPECT_TRUE(command.has_value());
    if (command) {
        EXPECT_TRUE(remote::ApplyRemoteCommand(bench.doc, *command).ok);
    }
    return bench.EditBuffer();
}

Image ThroughOsc(const EditRow& row) {
    Bench bench;
    const ParamEdit edit = Parsed(row);
    osc::OscFeedback feedback;
    osc::OscDispatcher dispatcher(bench.doc, feedback);
    const osc::OscMessage message{osc::DevicePrefix(kTarget) + "/" + FormatParamName(edit.ref),
                                  {osc::OscArg::Int(edit.code)}};
    const auto replies = dispatcher.Handle(message, osc::OscPeer::V4(127, 0, 0, 1, 9000),
                                           osc::OscFeedback::Clock::now());
    for (const osc::OscOutgoing& reply : replies) {
        // A limited value is said so; nothing else may come back.
        EXPECT_EQ(reply.message.path, "/arvestra/error");
        EXPECT_NE(reply.message.args.at(1).text.find("limited"), std::string::npos);
    }
    return bench.EditBuffer();
}

// What a fit or a filter import hands the document: every code of the channel's equaliser, the
// edited one changed.
Image ThroughFit(const EditRow& row) {
    Bench bench;
    const ParamEdit edit = Parsed(row);
    const int channel = edit.ref.channel;
    const auto at = static_cast<std::size_t>(edit.ref.index);
    if (edit.ref.field == PF::EqType) {
        ApplyEqKind(bench.doc.Edits(), channel,
                    edit.code == 1 ? EqKind::Parametric : EqKind::Graphic);
    } else if (edit.ref.field == PF::EqGraphicGain) {
        GraphicGainCodes gains = ReadGraphicGains(bench.doc.Edits(), channel);
        gains[at] = static_cast<int>(edit.code);
        ApplyGraphicGains(bench.doc.Edits(), channel, gains);
    } else if (edit.ref.field == PF::EqParamGain) {
        ParametricCodes bands = ReadParametricCodes(bench.doc.Edits(), channel);
        bands[at].gain = static_cast<int>(edit.code);
        ApplyParametricCodes(bench.doc.Edits(), channel, bands);
    } else {
        ADD_FAILURE() << "a fit sets no " << row.edit;
    }
    return bench.EditBuffer();
}

// An edit made on a page, recorded from the announcement, undone and redone.
Image ThroughUndoAndRedo(const EditRow& row) {
    Bench bench;
    const Image before = bench.EditBuffer();
    std::vector<ByteChange> step;
    const EditListenerId id = bench.doc.Edits().Listen([&step](const EditEvent& event) {
        step.insert(step.end(), event.changes.begin(), event.changes.end());
    });
    ApplyParamEdit(bench.doc.Edits(), Parsed(row));
    bench.doc.Edits().Unlisten(id);
    EXPECT_FALSE(step.empty());
    EXPECT_TRUE(ReplayChanges(bench.doc, kTarget, step, EditReason::Undo));
    EXPECT_EQ(bench.EditBuffer(), before);
    EXPECT_TRUE(ReplayChanges(bench.doc, kTarget, step, EditReason::Redo));
    return bench.EditBuffer();
}

class EditFrontEnds : public ::testing::TestWithParam<EditRow> {};

TEST_P(EditFrontEnds, LeaveTheSameBytes) {
    const EditRow& row = GetParam();
    const Image set = ThroughSet(row);
    ASSERT_NE(set, Bench().EditBuffer()) << "the edit changes nothing";
    const std::pair<FrontEnd, Image (*)(const EditRow&)> others[] = {
        {kImport, ThroughImport},
        {kCopyFiles, ThroughCopyBetweenFiles},
        {kCopyInto, ThroughCopyIntoLocation},
        {kRemote, ThroughRemote},
        {kUndoRedo, ThroughUndoAndRedo},
        {kOsc, ThroughOsc},
        {kFit, ThroughFit},
    };
    const char* names[] = {"import",       "copy between files", "copy into the location",
                           "remote",       "undo and redo",      "OSC",
                           "equaliser fit"};
    for (std::size_t i = 0; i < std::size(others); ++i) {
        if ((row.frontEnds & others[i].first) == 0) continue;
        EXPECT_EQ(others[i].second(row), set) << names[i];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Edits, EditFrontEnds,
    ::testing::Values(
        EditRow{"LinkedGain", "ch1.eq.graphic_gain.12=36", SettingId::EqA, kAll | kFit},
        EditRow{"LinkedTypeFromChannel2", "ch2.eq.type=1", SettingId::EqB, kAll | kFit},
        EditRow{"LimitedCode", "ch2.eq.graphic_gain.1=99", SettingId::EqB, kAll | kFit},
        EditRow{"ParametricGain", "ch1.eq.param_gain.3=110", SettingId::EqA, kAll | kFit},
        EditRow{"LevelOfChannel2", "ch2.input.level=200", SettingId::Configuration, kAll},
        // A Master flag set from outside copies its block and sets the link fields, as its
        // button does.
        EditRow{"MasterOfTheCompLimiter", "ch2.cl.master=1", SettingId::CompLimB,
                kSet | kImport | kOsc | kUndoRedo},
        // A copy carries the temperature bytes with the delay as they are, and the
        // remote page edits no delay.
        EditRow{"TemperatureKeepsTheDistance", "ch1.delay.temperature=800", SettingId::DelayA,
                kSet | kImport | kOsc | kUndoRedo}),
    [](const auto& info) { return std::string(info.param.name); });

// The fault the table guards: a linked equaliser takes a copied setting on both channels.
TEST(SettingCopies, FollowTheTargetsMasterLink) {
    const EditRow row{"", "ch1.eq.graphic_gain.12=36", SettingId::EqA, kAll};
    const Image copied = ThroughCopyBetweenFiles(row);
    EXPECT_EQ(copied[static_cast<std::size_t>(FieldOffset(PF::EqGraphicGain, kChannelA, 11))], 36);
    EXPECT_EQ(copied[static_cast<std::size_t>(FieldOffset(PF::EqGraphicGain, kChannelB, 11))], 36);
}

}  // namespace
}  // namespace arvestra::testing
