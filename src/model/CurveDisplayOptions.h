// What the development utilities switch for both equaliser pages: whether the combined
// response curve is computed and drawn, and how many extra grid points lie between neighbouring
// frequency-scale values. One set for the whole process, changed on the user-interface thread.
#pragma once

#include "model/FrequencyGrid.h"

namespace arvestra {

struct CurveDisplayOptions {
    bool drawCurve = true;
    int extraPoints = FrequencyGrid::kDefaultExtraPoints;
};

// The process's options (drawn, 3 extra points at start).
CurveDisplayOptions& SharedCurveDisplayOptions();

}  // namespace arvestra
