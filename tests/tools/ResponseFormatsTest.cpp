// The response as CSV and as SVG and PNG pictures: the CSV carries the dump's numbers, the
// pictures are real files of their kind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "cli/ResponseDump.h"
#include "model/ParamField.h"
#include "model/PresetImage.h"
#include "plot/CurvePlot.h"

namespace arvestra::cli {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

// A preset whose output A runs through a 1 kHz low-pass, so the curve is not flat.
PresetImage LowPassImage() {
    PresetImage image = InitialPresetImage();
    WriteField(image.bytes, ParamField::OutputSource, kChannelA, 0, 13);
    WriteField(image.bytes, ParamField::LpSource, kChannelA, 0, 1);
    WriteField(image.bytes, ParamField::LpCutoff, kChannelA, 0, 56);
    return image;
}

std::vector<std::pair<double, double>> Parse(const std::string& text, char separator, bool header) {
    std::vector<std::pair<double, double>> rows;
    std::istringstream in(text);
    std::string line;
    if (header) std::getline(in, line);
    while (std::getline(in, line)) {
        const std::size_t split = line.find(separator);
        rows.emplace_back(std::stod(line.substr(0, split)), std::stod(line.substr(split + 1)));
    }
    return rows;
}

TEST(ResponseCsv, MatchesTheResponseDumpPointForPoint) {
    const PresetImage image = LowPassImage();
    for (const int extra : {0, 3}) {
        const std::string csv = ResponseCsvText(ResponsePoints(image.bytes, 0, extra, 640));
        EXPECT_THAT(csv, StartsWith("frequency_hz,level_db\n"));
        const auto fromCsv = Parse(csv, ',', true);
        const auto fromDump = Parse(ResponseDumpText(image.bytes, 0, extra, 640), '\t', false);
        ASSERT_EQ(fromCsv.size(), fromDump.size());
        ASSERT_FALSE(fromCsv.empty());
        for (std::size_t i = 0; i < fromCsv.size(); ++i) {
            EXPECT_NEAR(fromCsv[i].first, fromDump[i].first, 0.5) << i;  // the dump rounds Hz
            EXPECT_NEAR(fromCsv[i].second, fromDump[i].second, 1e-9) << i;
        }
    }
}

std::vector<CurvePoint> Curve() {
    std::vector<CurvePoint> curve;
    for (const ResponsePoint& p : ResponsePoints(LowPassImage().bytes, 0, 3, 640)) {
        curve.push_back({p.hz, p.levelDb});
    }
    return curve;
}

TEST(CurvePictures, AnSvgAndAPngAreProducedAndNotEmpty) {
    CurvePlotOptions options;
    options.title = "Ch 1";
    const CurvePicture svg = RenderCurveSvg(Curve(), options);
    if (!svg.error.empty()) GTEST_SKIP() << svg.error;  // a build without Qt
    EXPECT_THAT(svg.bytes, HasSubstr("<svg"));
    EXPECT_THAT(svg.bytes, HasSubstr("<path"));
    EXPECT_THAT(svg.bytes, HasSubstr("Ch 1"));
    const CurvePicture png = RenderCurvePng(Curve(), options);
    ASSERT_TRUE(png.error.empty()) << png.error;
    ASSERT_GT(png.bytes.size(), 1000u);
    EXPECT_EQ(png.bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
}

TEST(CurvePictures, HostileSizesAndValuesAreBoundedNotFatal) {
    CurvePlotOptions options;
    options.width = -5;
    options.height = 1 << 30;
    options.lowestDb = 10.0;
    options.highestDb = -10.0;  // the wrong way round
    const std::vector<CurvePoint> odd = {
        {NAN, 0.0}, {-1.0, 1e300}, {1e9, -INFINITY}, {1000.0, 3.0}};
    const CurvePicture png = RenderCurvePng(odd, options);
    if (!png.error.empty()) GTEST_SKIP() << png.error;
    EXPECT_FALSE(png.bytes.empty());
    EXPECT_FALSE(RenderCurveSvg({}, options).bytes.empty());
}

}  // namespace
}  // namespace arvestra::cli
