// The development utilities' response dump: its lines, formats and the levels it shows.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "model/ResponseDump.h"

namespace arvestra {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start) + "<no CR LF>");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// The line whose frequency column reads `hz`, or empty.
std::string LineOf(const std::vector<std::string>& lines, const std::string& hz) {
    for (const std::string& line : lines) {
        if (line.rfind(hz + "\t", 0) == 0) return line;
    }
    return {};
}

double LevelOf(const std::string& line) {
    std::istringstream in(line);
    double hz = 0, db = 0;
    in >> hz >> db;
    return db;
}

struct DumpBench {
    FilterResponse response{0};
    CurveSet path;
    FilterResponse::ChannelSettings settings{};
    GraphMapping graph{GraphRect{0, 0, 640, 300}, kGraphicEqGraph};
    DumpBench() {
        path.Add(0, CurveKind::LowPass);
        settings[0].lowPass = {1000.0, 0};  // 12 dB/octave at 1 kHz
    }
};

TEST(ResponseDump, WithNoExtraPointsHas101LinesInTheThreeFormats) {
    DumpBench b;
    const std::vector<std::string> lines =
        Lines(DumpResponse(b.response, b.path, b.settings, b.graph));
    ASSERT_EQ(lines.size(), 101u);
    EXPECT_EQ(lines.front().rfind("20.00\t", 0), 0u) << lines.front();
    EXPECT_FALSE(LineOf(lines, "125.0").empty());
    EXPECT_FALSE(LineOf(lines, "1000").empty());
    EXPECT_EQ(lines.back().rfind("20000\t", 0), 0u) << lines.back();
    EXPECT_EQ(lines.front().substr(lines.front().rfind('\t') + 1),
              "4");  // 19.2 Hz is the left edge
    EXPECT_EQ(lines.back().substr(lines.back().rfind('\t') + 1),
              "636");  // 21 kHz is the right edge
}

TEST(ResponseDump, AGridJustRebuiltIsComputedBeforeItIsDumped) {
    DumpBench b;
    b.response.SetExtraPoints(3);
    b.response.Update(b.path, b.settings);
    b.response.SetExtraPoints(0);  // the utilities' radio button: no update has run since
    const std::vector<std::string> lines =
        Lines(DumpResponse(b.response, b.path, b.settings, b.graph));
    ASSERT_EQ(lines.size(), 101u);
    EXPECT_NEAR(LevelOf(LineOf(lines, "1000")), -3.01, 0.01);
}

TEST(ResponseDump, OtherwiseShowsTheLevelsLastComputed) {
    DumpBench b;
    b.response.Update(b.path, b.settings);
    // A change the page has not computed (the curve switch is off): the dump keeps the old one.
    b.settings[0].lowPass = {100.0, 0};
    b.response.MarkDirty(0, CurveKind::LowPass);
    const std::vector<std::string> lines =
        Lines(DumpResponse(b.response, b.path, b.settings, b.graph));
    EXPECT_NEAR(LevelOf(LineOf(lines, "1000")), -3.01, 0.01);
}

TEST(ResponseDump, LinesStopAtTheShorterOfFrequenciesAndLevels) {
    const std::vector<float> hz{50.0f, 500.0f, 5000.0f};
    const std::vector<double> db{-1.0, 2.5};
    const GraphMapping graph(GraphRect{0, 0, 0, 0}, kGraphicEqGraph);
    EXPECT_EQ(FormatResponseDump(hz, db, graph), "50.00\t-1.0000\t0\r\n500.0\t2.5000\t0\r\n");
    EXPECT_EQ(FormatResponseDump({}, db, graph), "");
}

}  // namespace
}  // namespace arvestra
