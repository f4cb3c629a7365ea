// The main view's background picture: the panel, the sunken frame of the page area, the strip's
// captions and scales, the frames of the meters and the Device Configuration panel behind the
// chain map. Everything is placed from the form table and the controls' own geometry, so each
// scale mark sits exactly where its slider thumb or meter segment does at any font size.
#pragma once

#include <vector>

#include "ui/controls/PixelRect.h"
#include "ui/dialogs/DialogUnits.h"
#include "ui/pages/Picture.h"

namespace arvestra {

// Centre x of a level slider's thumb at a level code (slider in view pixels).
int SliderThumbCentreX(const PixelRect& slider, int code);

// The x of the boundary that a meter position draws (meter in view pixels): its left inner edge
// at the minimum, its right inner edge at the maximum.
int MeterPositionX(const PixelRect& meter, int position, int maximum);

// One scale mark: the text and the x it is centred on.
struct ScaleMark {
    const char* text;
    int x;
};

// The marks of the level slider scale (-20 to 20 dB) over a slider.
std::vector<ScaleMark> SliderScaleMarks(const PixelRect& slider);
// The input meter scale in dBFS (45 to 0) under an input meter.
std::vector<ScaleMark> InputMeterMarks(const PixelRect& meter);
// The output meter scale in dBu (-33 to 24) under an output meter.
std::vector<ScaleMark> OutputMeterMarks(const PixelRect& meter);
// The gain-reduction scale (20 to 2, then TH at the right end) under a reduction meter.
std::vector<ScaleMark> ReductionMeterMarks(const PixelRect& meter);

// The whole picture for a font's base units.
Picture ComputeStripPicture(const DialogBaseUnits& units);

// The rectangles of the controls and the page area that the picture must leave uncovered.
std::vector<PixelRect> StripControlRects(const DialogBaseUnits& units);

}  // namespace arvestra
