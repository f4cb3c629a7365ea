// arvestra-cli output and option forms: --port values, device summaries in text and JSON, and
// the response dump.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <climits>
#include <sstream>
#include <vector>

#include "cli/DeviceSummary.h"
#include "cli/PortOption.h"
#include "cli/ResponseDump.h"
#include "model/ParamField.h"
#include "model/PresetImage.h"

namespace arvestra::cli {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

struct PortCase {
    const char* text;
    bool ok;
    int comNumber;
    const char* pathOrError;
};

class PortOptions : public ::testing::TestWithParam<PortCase> {};

TEST_P(PortOptions, AreComNamesPathsOrTcp) {
    const PortCase& c = GetParam();
    const PortParse parse = ParsePortOption(c.text);
    ASSERT_EQ(parse.spec.has_value(), c.ok) << c.text << ": " << parse.error;
    if (c.ok) {
        EXPECT_EQ(parse.spec->comNumber, c.comNumber);
        EXPECT_EQ(parse.spec->path, c.pathOrError);
    } else {
        EXPECT_THAT(parse.error, HasSubstr(c.pathOrError));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, PortOptions,
    ::testing::Values(PortCase{"COM1", true, 1, ""}, PortCase{"COM4", true, 4, ""},
                      PortCase{"com2", true, 2, ""},
                      PortCase{"/dev/ttyUSB0", true, kPathPortNumber, "/dev/ttyUSB0"},
                      PortCase{"ttyS3", true, kPathPortNumber, "ttyS3"},
                      PortCase{"COMX", true, kPathPortNumber, "COMX"},
                      PortCase{"tcp:127.0.0.1:4001", true, kPathPortNumber, "tcp:127.0.0.1:4001"},
                      PortCase{"TCP:host:65535", true, kPathPortNumber, "TCP:host:65535"},
                      PortCase{"", false, 0, "the port is empty"},
                      PortCase{"COM0", false, 0, "not one of COM1 to COM4"},
                      PortCase{"COM5", false, 0, "not one of COM1 to COM4"},
                      PortCase{"COM12", false, 0, "give other ports as a device path"},
                      PortCase{"tcp:host", false, 0, "tcp:HOST:PORT"},
                      PortCase{"tcp::4001", false, 0, "tcp:HOST:PORT"},
                      PortCase{"tcp:host:0", false, 0, "must be 1 to 65535"},
                      PortCase{"tcp:host:65536", false, 0, "must be 1 to 65535"},
                      PortCase{"tcp:host:+80", false, 0, "must be 1 to 65535"},
                      PortCase{"rfc2217:[::1]:2217", true, kPathPortNumber, "rfc2217:[::1]:2217"},
                      PortCase{"rfc2217:host", false, 0, "rfc2217:HOST:PORT"},
                      PortCase{"rfc2217:host:70000", false, 0, "must be 1 to 65535"},
                      PortCase{"tcp:host:", false, 0, "must be 1 to 65535"}));

// A location in memory with devices at addresses 9 (slot 2) and 4 (slot 0).
class Summaries : public ::testing::Test {
  protected:
    Summaries()
        : bytes_(kLocationSize), location_(CLocationImage::Bytes(bytes_.data(), kLocationSize)) {
        location_.FormatNew();
        location_.SetSlotOf(9, 2);
        location_.SetSlotOf(4, 0);
        location_.SetDeviceName(2, "B\xFChne \"links\"");  // Latin-1 u umlaut
        location_.SetRecordInt(2, kRecApplicationNumber, 7);
        location_.SetRecordInt(2, kRecAppFirmware, 13);
        location_.SetRecordInt(2, kRecBaseFirmware, -5);
        location_.SetRecordInt(2, kRecBypassB, 1);
        location_.SetRecordInt(2, kRecCurrentPreset, 3);
        location_.SetRecordInt(2, kRecPresetModified, 1);
        for (int p = 1; p <= 8; ++p) location_.SetPresetName(2, p, "P" + std::to_string(p));
        location_.SetDeviceName(0, "Four");
        location_.SetPresetName(0, 2, "Two\nlines\x1B");
    }

    std::vector<std::uint8_t> bytes_;
    CLocationImage location_;
};

TEST_F(Summaries, ListDevicesInAddressOrderWithTheirRecords) {
    const std::vector<DeviceSummary> devices = SummariseLocation(location_);
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].address, 4);
    EXPECT_EQ(devices[0].slot, 0);
    const DeviceSummary& nine = devices[1];
    EXPECT_EQ(nine.address, 9);
    EXPECT_EQ(nine.slot, 2);
    EXPECT_EQ(nine.name, "B\xC3\xBChne \"links\"");
    EXPECT_EQ(nine.applicationNumber, 7);
    EXPECT_FALSE(nine.bypassA);
    EXPECT_TRUE(nine.bypassB);
    EXPECT_EQ(nine.currentPreset, 3);
    EXPECT_TRUE(nine.presetModified);
    EXPECT_EQ(nine.presetNames[7], "P8");
}

TEST_F(Summaries, PrintAsTextJsonAndScanLines) {
    const std::vector<DeviceSummary> devices = SummariseLocation(location_);
    const std::string text = FormatInfoText(devices);
    EXPECT_THAT(text, HasSubstr("Address 9 (slot 2): B\xC3\xBChne \"links\"\n"
                                "  Firmware: application 7, revision 1.3, base revision -0.5\n"
                                "  Bypass: Ch 1 off, Ch 2 on\n"
                                "  Current preset: 3 (modified)\n"
                                "  Preset 1: P1\n"));
    const nlohmann::json json = nlohmann::json::parse(FormatDevicesJson(devices));
    ASSERT_EQ(json["devices"].size(), 2u);
    EXPECT_EQ(json["devices"][0]["address"], 4);
    EXPECT_EQ(json["devices"][0]["name"], "Four");
    const nlohmann::json& nineJson = json["devices"][1];
    EXPECT_EQ(nineJson["slot"], 2);
    EXPECT_EQ(nineJson["name"], "B\xC3\xBChne \"links\"");
    EXPECT_EQ(nineJson["application_number"], 7);
    EXPECT_EQ(nineJson["application_firmware"], 1.3);
    EXPECT_EQ(nineJson["base_firmware"], -0.5);
    EXPECT_EQ(nineJson["bypass"], nlohmann::json::parse("[false, true]"));
    EXPECT_EQ(nineJson["current_preset"], 3);
    EXPECT_EQ(nineJson["preset_modified"], true);
    EXPECT_EQ(nineJson["presets"][0], "P1");
    EXPECT_EQ(nlohmann::json::parse(FormatDevicesJson({})),
              nlohmann::json::parse("{\"devices\": []}"));
    // A name holding control characters stays on its line.
    EXPECT_THAT(text, HasSubstr("  Preset 2: Two?lines?\n"));
    EXPECT_EQ(json["devices"][0]["presets"][1], "Two\nlines\x1b");
    EXPECT_THAT(FormatDevicesJson(devices), HasSubstr("\"Two\\nlines\\u001b\""));
    EXPECT_EQ(FormatScanLine(devices[1]),
              "9\tB\xC3\xBChne \"links\"\tapplication 7\trevision 1.3\tbase -0.5\n");
}

// Names from files and devices are written so that any JSON reader gets them back exactly, and
// bytes that are not UTF-8 never stop the output.
TEST(JsonStrings, NamesComeBackExactly) {
    const std::string names[] = {"", "a\"b\\c", "\n\r\t", std::string("\x01\x1F\x7F", 3),
                                 "\xC3\xBC"};
    for (const std::string& name : names) {
        DeviceSummary device;
        device.name = name;
        const nlohmann::json json = nlohmann::json::parse(FormatDevicesJson({device}));
        EXPECT_EQ(json["devices"][0]["name"], name);
    }
    DeviceSummary broken;
    broken.name = "\xFF\xFE";
    const nlohmann::json json = nlohmann::json::parse(FormatDevicesJson({broken}));
    EXPECT_EQ(json["devices"][0]["name"], "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(PrintableTexts, ReplaceControlCharactersOnly) {
    EXPECT_EQ(PrintableText("Hall 1"), "Hall 1");
    EXPECT_EQ(PrintableText("a\nb\rc\td"), "a?b?c?d");
    EXPECT_EQ(PrintableText("\x1B[2J"), "?[2J");
    EXPECT_EQ(PrintableText(std::string("\x7F\x01", 2)), "??");
    EXPECT_EQ(PrintableText("B\xC3\xBChne"), "B\xC3\xBChne");
}

TEST(Tenths, PrintWithOneDecimal) {
    EXPECT_EQ(FormatTenths(0), "0.0");
    EXPECT_EQ(FormatTenths(13), "1.3");
    EXPECT_EQ(FormatTenths(-5), "-0.5");
    EXPECT_EQ(FormatTenths(120), "12.0");
    EXPECT_EQ(FormatTenths(INT_MIN), "-214748364.8");
}

TEST(DumpLines, FollowTheThreeFrequencyFormats) {
    EXPECT_EQ(FormatDumpLine(20.0, 0.0, 4), "20.00\t0.0000\t4\r\n");
    EXPECT_EQ(FormatDumpLine(99.994, -3.25, 100), "99.99\t-3.2500\t100\r\n");
    EXPECT_EQ(FormatDumpLine(100.0, 1.0, 7), "100.0\t1.0000\t7\r\n");
    EXPECT_EQ(FormatDumpLine(125.0, 0.12345, 9), "125.0\t0.1235\t9\r\n");
    EXPECT_EQ(FormatDumpLine(999.94, 0.0, 1), "999.9\t0.0000\t1\r\n");
    EXPECT_EQ(FormatDumpLine(1000.0, 0.0, 2), "1000\t0.0000\t2\r\n");
    EXPECT_EQ(FormatDumpLine(20000.0, -60.0, 636), "20000\t-60.0000\t636\r\n");
}

std::vector<std::string> DumpLinesOf(const std::string& dump) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = dump.find("\r\n"); end != std::string::npos;
         end = dump.find("\r\n", start)) {
        lines.push_back(dump.substr(start, end - start));
        start = end + 2;
    }
    EXPECT_EQ(start, dump.size()) << "text after the last line end";
    return lines;
}

TEST(ResponseDump, CoversTheWholeGridForEveryDensity) {
    const PresetImage image = InitialPresetImage();
    for (const auto& [extra, count] : {std::pair{0, 101}, {3, 401}, {7, 801}}) {
        const std::vector<std::string> lines =
            DumpLinesOf(ResponseDumpText(image.bytes, 0, extra, kDefaultGraphWidth));
        ASSERT_EQ(static_cast<int>(lines.size()), count) << extra;
        EXPECT_THAT(lines.front(), StartsWith("20.00\t"));
        EXPECT_THAT(lines.back(), StartsWith("20000\t"));
    }
    const std::vector<std::string> coarse =
        DumpLinesOf(ResponseDumpText(image.bytes, 1, 0, kDefaultGraphWidth));
    EXPECT_THAT(coarse[26], StartsWith("125.0\t"));
    EXPECT_THAT(coarse[56], StartsWith("1000\t"));
}

TEST(ResponseDump, PlacesPointsOnAGraphOfTheGivenWidth) {
    const PresetImage image = InitialPresetImage();
    for (const int width : {1, 100, 640, 4000}) {
        const std::vector<std::string> lines =
            DumpLinesOf(ResponseDumpText(image.bytes, 0, 0, width));
        int previous = -1;
        for (const std::string& line : lines) {
            const int x = std::stoi(line.substr(line.rfind('\t') + 1));
            EXPECT_GE(x, previous) << width;
            EXPECT_GE(x, 0);
            EXPECT_LE(x, width);
            previous = x;
        }
    }
}

TEST(ResponseDump, FollowsTheSignalPathOfTheChosenOutput) {
    // Output A fed by the low-pass filter of A, fed by input A; output B straight from input B.
    PresetImage image = InitialPresetImage();
    WriteField(image.bytes, ParamField::OutputSource, kChannelA, 0, 13);
    WriteField(image.bytes, ParamField::LpSource, kChannelA, 0, 1);
    WriteField(image.bytes, ParamField::LpCutoff, kChannelA, 0, 56);  // 1 kHz
    WriteField(image.bytes, ParamField::OutputSource, kChannelB, 0, 2);
    const std::vector<std::string> a = DumpLinesOf(ResponseDumpText(image.bytes, 0, 0, 640));
    const std::vector<std::string> b = DumpLinesOf(ResponseDumpText(image.bytes, 1, 0, 640));
    const auto level = [](const std::string& line) {
        return std::stod(line.substr(line.find('\t') + 1));
    };
    EXPECT_NEAR(level(a[0]), 0.0, 0.1);  // 20 Hz passes
    EXPECT_LT(level(a[100]), -60.0);     // 20 kHz is cut
    EXPECT_NEAR(level(b[100]), 0.0, 1e-9);
}

}  // namespace
}  // namespace arvestra::cli
