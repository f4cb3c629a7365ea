#include "cli/ResponseDump.h"

#include "model/FilterResponse.h"
#include "model/FilterSettingsFromImage.h"
#include "model/GraphMapping.h"
#include "model/SignalPath.h"

namespace arvestra::cli {

std::string ResponseDumpText(std::span<const std::uint8_t, kPresetImageSize> image,
                             int outputChannel, int extraPoints, int graphWidth) {
    const SignalPath path = WalkSignalPath(image, outputChannel);
    FilterResponse response(extraPoints);
    response.Update(path.curves, FilterSettingsFromImage(image));
    // Only the columns matter here, so the graph's height and level range are those of the
    // graphic equaliser page; both pages share the frequency axis.
    const GraphMapping graph(GraphRect{0, 0, graphWidth, 0}, kGraphicEqGraph);

    return FormatResponseDump(response.Grid().Frequencies(), response.LevelsDb(), graph);
}

}  // namespace arvestra::cli
