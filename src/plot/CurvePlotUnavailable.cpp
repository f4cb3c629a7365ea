// The stand-in of builds without Qt: no pictures, a message instead.
#include "plot/CurvePlot.h"

namespace arvestra {

namespace {

CurvePicture Unavailable() {
    return {{}, "this build was made without Qt, so it draws no pictures; use --format csv"};
}

}  // namespace

CurvePicture RenderCurveSvg(const std::vector<CurvePoint>&, const CurvePlotOptions&) {
    return Unavailable();
}

CurvePicture RenderCurvePng(const std::vector<CurvePoint>&, const CurvePlotOptions&) {
    return Unavailable();
}

}  // namespace arvestra
