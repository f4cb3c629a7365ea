// Settings JSON: export then import gives back every byte; a hostile file changes nothing or
// loses only the values it got wrong, each of them reported.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include <nlohmann/json.hpp>

#include "document/DocTestSupport.h"
#include "document/SettingsJson.h"
#include "model/Latin1.h"

namespace arvestra::testing {
namespace {

using ::testing::AllOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using PF = ParamField;

// Fills the edit buffer of the current device with random valid settings through the block
// operations: link flags first, so linked channels end equal as the editor keeps them.
void RandomiseEditBuffer(CQ7310Doc& doc, std::mt19937& random) {
    const std::vector<ParamRef> params = SettingsParams();
    for (const bool linkFlags : {true, false}) {
        for (const ParamRef& ref : params) {
            const bool isLinkFlag = ref.kind == ParamKind::Field &&
                                    (FieldInfo(ref.field).role == FieldRole::Master ||
                                     FieldInfo(ref.field).role == FieldRole::LinkDerived);
            if (isLinkFlag != linkFlags) continue;
            const ParamCodes codes = CodesOfParam(ref);
            const int code =
                std::uniform_int_distribution<int>(codes.lowest, codes.highest)(random);
            if (ref.kind == ParamKind::DelayTime) doc.Edits().SetDelaySamples(ref.channel, code);
            if (ref.kind == ParamKind::Temperature)
                doc.Edits().SetTemperatureTenths(ref.channel, code);
            if (ref.kind == ParamKind::Field) {
                doc.Edits().Set(ref.field, ref.channel == kNoChannel ? kChannelA : ref.channel,
                                ref.index, code);
            }
        }
    }
    // A name with Latin-1 letters, quotes and a backslash; shorter than the field sometimes.
    const std::string letters = "Az09 \"\\\xE9\xFC";
    const int length = std::uniform_int_distribution<int>(0, 32)(random);
    for (int i = 0; i < 32; ++i) {
        const char c = i < length ? letters[random() % letters.size()] : '\0';
        doc.Edits().Set(PF::NameChar, kChannelA, i, static_cast<unsigned char>(c));
    }
}

// Every image of the device at `address` random, its record fields too.
void RandomiseDevice(DocBench& bench, int address, std::mt19937& random) {
    CQ7310Doc& doc = bench.doc;
    doc.SelectDevice(address);
    CLocationImage& location = doc.Devices().Location();
    const int slot = doc.Devices().CurrentSlot();
    for (int image = 8; image >= 0; --image) {
        RandomiseEditBuffer(doc, random);
        if (image != 0) std::memcpy(location.Image(slot, image), location.Image(slot, 0), 256);
    }
    location.SetDeviceName(slot, "Dev \"" + std::to_string(address) + "\" \xE9");
    location.SetRecordInt(slot, kRecBypassA, static_cast<int>(random() % 2));
    location.SetRecordInt(slot, kRecBypassB, static_cast<int>(random() % 2));
    doc.Devices().SetCurrentPreset(static_cast<int>(random() % 8) + 1);
}

std::vector<std::uint8_t> WholeLocation(CQ7310Doc& doc) {
    const std::uint8_t* bytes = doc.Devices().Location().Data();
    return std::vector<std::uint8_t>(bytes, bytes + kLocationSize);
}

TEST(SettingsJsonRoundTrip, ExportThenImportIsTheIdentityOnRandomLocations) {
    for (const unsigned seed : {1u, 2u, 3u}) {
        std::mt19937 random(seed);
        DocBench source;
        source.doc.AddDevice(5);
        source.doc.AddDevice(126);
        for (const int address : {1, 5, 126}) RandomiseDevice(source, address, random);
        const std::string text = ExportLocationJson(source.doc.Devices().Location());

        DocBench target(false);
        target.doc.FormatEmptyLocation();
        const ImportReport report = ImportSettingsJson(target.doc, text);
        ASSERT_FALSE(report.refused) << report.refusal;
        EXPECT_THAT(report.problems, IsEmpty()) << "seed " << seed;
        EXPECT_EQ(report.devicesLoaded, 3);
        for (const int address : {1, 5, 126}) {
            const CLocationImage& a = source.doc.Devices().Location();
            const CLocationImage& b = target.doc.Devices().Location();
            const int sa = a.SlotOf(address);
            const int sb = b.SlotOf(address);
            ASSERT_NE(sb, kNoDevice) << address;
            EXPECT_EQ(a.DeviceName(sa), b.DeviceName(sb));
            for (const std::size_t field : {kRecBypassA, kRecBypassB, kRecCurrentPreset}) {
                EXPECT_EQ(a.RecordInt(sa, field), b.RecordInt(sb, field)) << address;
            }
            for (int image = 0; image < 9; ++image) {
                EXPECT_EQ(0, std::memcmp(a.Image(sa, image), b.Image(sb, image), kPresetImageSize))
                    << "seed " << seed << " address " << address << " image " << image;
            }
        }
        EXPECT_EQ(ExportLocationJson(target.doc.Devices().Location()), text);
    }
}

TEST(SettingsJsonRoundTrip, APresetGoesIntoTheEditBufferAndIsSentWhenLive) {
    std::mt19937 random(7);
    DocBench source;
    RandomiseEditBuffer(source.doc, random);
    const std::string text = ExportPresetJson(source.doc.Devices().Location(), 1, 0);
    DocBench target;
    target.doc.Bus().SetSyncLive(1);
    target.doc.TakeDirtyRange();
    const ImportReport report = ImportSettingsJson(target.doc, text);
    ASSERT_FALSE(report.refused);
    EXPECT_THAT(report.problems, IsEmpty());
    EXPECT_EQ(report.kind, SettingsKind::Preset);
    EXPECT_EQ(0,
              std::memcmp(source.doc.Edits().Data(), target.doc.Edits().Data(), kPresetImageSize));
    // Every change was marked for sending, and the stored presets were left alone.
    const auto range = target.doc.Edits().DirtyRange();
    EXPECT_LE(range.first, range.second);
    EXPECT_EQ(target.doc.Devices().PresetModified(), 1);
    EXPECT_EQ(target.ImageOf(1, 1), DocBench().ImageOf(1, 1));
}

TEST(SettingsJsonExport, UsesTheToolsNamesAndUnitsUnderAVersion) {
    DocBench bench;
    const nlohmann::json file =
        nlohmann::json::parse(ExportPresetJson(bench.doc.Devices().Location(), 1, 1));
    EXPECT_EQ(file["format"], "arvestra-settings");
    EXPECT_EQ(file["version"], 1);
    EXPECT_EQ(file["kind"], "preset");
    const nlohmann::json& preset = file["preset"];
    EXPECT_EQ(preset["name"], "Preset 1");
    EXPECT_EQ(preset["ch1.eq.graphic_gain.1"], "0dB");
    EXPECT_EQ(preset["ch2.delay.time"], "0ms");
    EXPECT_EQ(preset["ch1.delay.temperature"], "68F");
    EXPECT_EQ(preset["config.chain_slot.1"], 0);  // a plain code: no unit of its own
    EXPECT_FALSE(preset.contains("ch1.delay.high"));
    EXPECT_FALSE(preset.contains("name.1"));
    EXPECT_EQ(ExportPresetJson(bench.doc.Devices().Location(), 2, 0), "");  // no device at 2
    EXPECT_EQ(ExportPresetJson(bench.doc.Devices().Location(), 1, 9), "");
}

// ---- Files refused whole -----------------------------------------------------------------------

std::string Header(int version, const std::string& rest) {
    return "{\"format\": \"arvestra-settings\", \"version\": " + std::to_string(version) + rest +
           "}";
}

// The text is made when the case runs: a 64 MiB text built when the cases are listed would be
// built again by every process that runs one test of this executable.
struct RefusedCase {
    const char* name;
    std::function<std::string()> text;
    const char* why;
};

RefusedCase Refused(const char* name, std::string text, const char* why) {
    return {name, [text = std::move(text)] { return text; }, why};
}

class SettingsJsonRefuses : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(SettingsJsonRefuses, AndChangesNothing) {
    DocBench bench;
    const std::vector<std::uint8_t> before = WholeLocation(bench.doc);
    bench.doc.SetModifiedFlag(false);
    const ImportReport report = ImportSettingsJson(bench.doc, GetParam().text());
    EXPECT_TRUE(report.refused);
    EXPECT_THAT(report.refusal, HasSubstr(GetParam().why));
    EXPECT_TRUE(WholeLocation(bench.doc) == before);
    EXPECT_FALSE(bench.doc.IsModified());
}

std::string CutShort() {
    DocBench bench;
    const std::string text = ExportDeviceJson(bench.doc.Devices().Location(), 1);
    return text.substr(0, text.size() / 2);
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, SettingsJsonRefuses,
    ::testing::Values(
        Refused("NotJson", "hello", "not JSON"), Refused("Empty", "", "not JSON"),
        RefusedCase{"CutShort", CutShort, "not JSON"},
        Refused("NewerVersion", Header(2, ", \"kind\": \"preset\", \"preset\": {}"),
                "format version 2 by a newer"),
        Refused("NoVersion", "{\"format\": \"arvestra-settings\", \"kind\": \"preset\"}",
                "no valid format version"),
        Refused("FractionalVersion",
                "{\"format\": \"arvestra-settings\", \"version\": 1.5, \"kind\": \"preset\", "
                "\"preset\": {}}",
                "no valid format version"),
        Refused("OtherFormat", "{\"format\": \"other\", \"version\": 1}", "not Arvestra"),
        Refused("NotAnObject", "[1, 2]", "not Arvestra"),
        Refused("UnknownKind", Header(1, ", \"kind\": \"song\""), "\"kind\" must be"),
        Refused("PresetNotObject", Header(1, ", \"kind\": \"preset\", \"preset\": 3"),
                "no valid \"preset\""),
        Refused("DevicesNotList", Header(1, ", \"kind\": \"location\", \"devices\": {}"),
                "no valid \"devices\""),
        Refused("DeviceWithoutAddress", Header(1, ", \"kind\": \"device\", \"device\": {}"),
                "no valid address"),
        RefusedCase{"DeepNesting",
                    [] { return std::string(100000, '[') + std::string(100000, ']'); },
                    "nests deeper"},
        RefusedCase{"Huge", [] { return std::string(kMaxSettingsBytes + 1, ' '); },
                    "larger than 64 MiB"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Files loaded with problems -----------------------------------------------------------------

std::string PresetFile(const std::string& body) {
    return Header(1, ", \"kind\": \"preset\", \"preset\": {" + body + "}");
}

TEST(SettingsJsonProblems, EachBadValueIsReportedAndTheRestLoaded) {
    DocBench bench;
    CQ7310Doc& doc = bench.doc;
    const ImportReport report = ImportSettingsJson(
        doc, PresetFile("\"ch1.bogus\": 1, \"ch1.lp.cutoff\": \"30kHz\", \"ch1.hp.cutoff\": 999,"
                        "\"ch2.lp.slope\": \"steep\", \"ch1.eq.graphic_gain.1\": true,"
                        "\"ch1.eq.graphic_gain.2\": \"-3dB\", \"ch2.eq.graphic_gain.31\": -5,"
                        "\"ch1.delay.time\": \"2s\", \"name\": \"" +
                        std::string(40, 'x') + "\", \"ch2.hp.slope\": 0"));
    ASSERT_FALSE(report.refused);
    EXPECT_THAT(report.problems, Contains(HasSubstr("ch1.bogus: unknown parameter")));
    EXPECT_THAT(report.problems, Contains(AllOf(HasSubstr("ch1.lp.cutoff: value limited to"))));
    EXPECT_THAT(report.problems, Contains(HasSubstr("ch1.hp.cutoff: value limited to")));
    EXPECT_THAT(report.problems, Contains(HasSubstr("ch2.lp.slope: ")));
    EXPECT_THAT(report.problems,
                Contains(HasSubstr("ch1.eq.graphic_gain.1: wrong type (boolean)")));
    EXPECT_THAT(report.problems, Contains(HasSubstr("ch2.eq.graphic_gain.31: value limited to")));
    EXPECT_THAT(report.problems, Contains(HasSubstr("ch1.delay.time: value limited to")));
    EXPECT_THAT(report.problems, Contains(HasSubstr("name: cut to 32 characters")));
    EXPECT_EQ(report.problems.size(), 8u);
    // What was right, or could be limited, is loaded.
    EXPECT_EQ(doc.Edits().Get(PF::LpCutoff, kChannelA), FieldInfo(PF::LpCutoff).hi);
    EXPECT_EQ(doc.Edits().Get(PF::EqGraphicGain, kChannelA, 1), 24);  // -3 dB
    EXPECT_EQ(doc.Edits().Get(PF::EqGraphicGain, kChannelB, 30), 0);
    EXPECT_EQ(doc.Edits().GetDelaySamples(kChannelA), kMaxDelaySamples);
    EXPECT_EQ(doc.Edits().Get(PF::HpSlope, kChannelB), 0);
    EXPECT_EQ(doc.Devices().GetPresetName(0), std::string(32, 'x'));
    // What was wrong is left as it was.
    EXPECT_EQ(doc.Edits().Get(PF::EqGraphicGain, kChannelA, 0), 30);
    EXPECT_EQ(doc.Edits().Get(PF::LpSlope, kChannelB), 1);
}

// What the file gave that is not taken as it stands, beyond bad values.
struct LossCase {
    const char* name;
    std::string body;
    std::string problem;  // empty: none
};

class SettingsJsonLosses : public ::testing::TestWithParam<LossCase> {};

TEST_P(SettingsJsonLosses, AreReported) {
    DocBench bench;
    const ImportReport report = ImportSettingsJson(bench.doc, PresetFile(GetParam().body));
    ASSERT_FALSE(report.refused);
    if (GetParam().problem.empty()) {
        EXPECT_THAT(report.problems, IsEmpty());
    } else {
        EXPECT_THAT(report.problems, ElementsAre(HasSubstr(GetParam().problem)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, SettingsJsonLosses,
    ::testing::Values(
        LossCase{"NameCutAtNul", "\"name\": \"Hall\\u0000Left\"", "name: cut at a NUL character"},
        LossCase{"NameWithoutLatin1Form", "\"name\": \"Hall \xE2\x82\xAC\"",
                 "name: characters with no Latin-1 form replaced by '?'"},
        LossCase{"NameWithItsOwnQuestionMark", "\"name\": \"Hall?\"", ""},
        LossCase{"SameKeyTwice", "\"ch1.lp.cutoff\": 40, \"ch1.lp.cutoff\": 50",
                 "ch1.lp.cutoff: given twice in one object; the last value is used"},
        LossCase{"OneParameterUnderTwoNames",
                 "\"ch1.eq.graphic_gain.01\": 3, \"ch1.eq.graphic_gain.1\": 4",
                 "ch1.eq.graphic_gain.1: given twice (also as ch1.eq.graphic_gain.01)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsJsonProblems, ALinkedBlockKeepsChannelOnesValue) {
    DocBench bench;
    CQ7310Doc& doc = bench.doc;
    const ImportReport report = ImportSettingsJson(
        doc, PresetFile("\"ch2.lp.cutoff\": 40, \"ch1.lp.master\": 1, \"ch1.lp.cutoff\": 50,"
                        "\"ch2.lp.slope\": 0, \"ch1.lp.slope\": 0"));
    ASSERT_FALSE(report.refused);
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_THAT(report.problems[0], HasSubstr("ch2.lp.cutoff: the block is linked"));
    EXPECT_EQ(doc.Edits().Get(PF::LpCutoff, kChannelA), 50);
    EXPECT_EQ(doc.Edits().Get(PF::LpCutoff, kChannelB), 50);
    EXPECT_EQ(doc.Edits().Get(PF::LpSlope, kChannelB), 0);
}

TEST(SettingsJsonProblems, ABadDeviceIsSkippedAndTheOthersLoaded) {
    DocBench source;
    source.doc.AddDevice(4);
    source.doc.SelectDevice(4);
    source.doc.Edits().Set(PF::LpCutoff, kChannelA, 0, 12);
    nlohmann::json file =
        nlohmann::json::parse(ExportLocationJson(source.doc.Devices().Location()));
    file["devices"][0]["address"] = 300;
    file["devices"][1]["bypass"] = {{"ch1", "yes"}};
    file["devices"][1]["presets"].push_back(nlohmann::json::object());
    file["devices"][1]["current_preset"] = 12;

    DocBench target;
    const ImportReport report = ImportSettingsJson(target.doc, file.dump());
    ASSERT_FALSE(report.refused);
    EXPECT_EQ(report.devicesLoaded, 1);
    EXPECT_THAT(report.problems,
                ::testing::ElementsAre(HasSubstr("device 1: no valid address"),
                                       HasSubstr("address 4: bypass.ch1: wrong type"),
                                       HasSubstr("address 4: current_preset: value limited to 8"),
                                       HasSubstr("address 4: presets: only 8 presets")));
    target.doc.SelectDevice(4);
    EXPECT_EQ(target.doc.Edits().Get(PF::LpCutoff, kChannelA), 12);
}

TEST(SettingsJsonProblems, ADeviceGoesToTheAddressAskedFor) {
    DocBench source;
    source.doc.Edits().Set(PF::HpCutoff, kChannelB, 0, 33);
    DocBench target;
    const ImportReport report = ImportSettingsJson(
        target.doc, ExportDeviceJson(source.doc.Devices().Location(), 1), ImportTarget{9});
    ASSERT_FALSE(report.refused);
    EXPECT_THAT(report.problems, IsEmpty());
    target.doc.SelectDevice(9);
    EXPECT_EQ(target.doc.Edits().Get(PF::HpCutoff, kChannelB), 33);
    target.doc.SelectDevice(1);
    EXPECT_EQ(target.doc.Edits().Get(PF::HpCutoff, kChannelB), 0);
}

}  // namespace
}  // namespace arvestra::testing
