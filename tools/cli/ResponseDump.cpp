#include "cli/ResponseDump.h"

#include "model/FilterResponse.h"
#include "model/FilterSettingsFromImage.h"
#include "model/GraphMapping.h"
#include "model/SignalPath.h"
#include "plot/CurvePlot.h"

namespace arvestra::cli {

std::vector<ResponsePoint> ResponsePoints(std::span<const std::uint8_t, kPresetImageSize> image,
                                          int outputChannel, int extraPoints, int graphWidth) {
    const SignalPath path = WalkSignalPath(image, outputChannel);
    FilterResponse response(extraPoints);
    response.Update(path.curves, FilterSettingsFromImage(image));
    // Only the columns matter here, so the graph's height and level range are those of the
    // graphic equaliser page; both pages share the frequency axis.
    const GraphMapping graph(GraphRect{0, 0, graphWidth, 0}, kGraphicEqGraph);

    const std::span<const float> frequencies = response.Grid().Frequencies();
    const std::span<const double> levels = response.LevelsDb();
    std::vector<ResponsePoint> points;
    points.reserve(frequencies.size());
    for (std::size_t i = 0; i < frequencies.size() && i < levels.size(); ++i) {
        const double hz = frequencies[i];
        points.push_back({hz, levels[i], graph.FrequencyToX(hz)});
    }
    return points;
}

std::string ResponseDumpText(std::span<const std::uint8_t, kPresetImageSize> image,
                             int outputChannel, int extraPoints, int graphWidth) {
    const std::vector<ResponsePoint> points =
        ResponsePoints(image, outputChannel, extraPoints, graphWidth);
    std::string text;
    text.reserve(points.size() * 24);
    for (const ResponsePoint& point : points) {
        text += FormatDumpLine(point.hz, point.levelDb, point.x);
    }
    return text;
}

std::string ResponseCsvText(const std::vector<ResponsePoint>& points) {
    std::vector<CurvePoint> curve;
    curve.reserve(points.size());
    for (const ResponsePoint& point : points) curve.push_back({point.hz, point.levelDb});
    return CurveCsv(curve);
}

}  // namespace arvestra::cli
