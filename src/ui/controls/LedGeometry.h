#pragma once

#include "ui/controls/PaintRun.h"

namespace arvestra {

// The picture of an indicator lamp: a one-pixel sunken frame (dark top and left, white bottom
// and right) around a lamp face that fills the rest, lit or dark.
PaintRuns ComputeLedRuns(int width, int height, bool lit);

// The part of the lamp that changes between lit and dark (inside the frame).
PixelRect LedFaceRect(int width, int height);

}  // namespace arvestra
