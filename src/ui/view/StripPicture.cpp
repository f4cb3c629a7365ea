#include "ui/view/StripPicture.h"

#include <array>

#include "ui/controls/SliderGeometry.h"
#include "ui/view/StripValues.h"
#include "ui/view/ViewLayout.h"

namespace arvestra {

namespace {

// Caption and scale heights in dialog units (the form's font is 8 units high).
constexpr int kCaptionHeightDu = 7;
constexpr int kScaleTextHeightDu = 6;
constexpr int kCaptionTopDu = 263;
constexpr int kSliderScaleTopDu = 272;
constexpr int kTickTopDu = 280;
constexpr int kMeterScaleTopDu = 300;
constexpr int kMeterScaleHeightDu = 7;
constexpr int kSliderLabelWidthDu = 14;
constexpr int kMeterLabelWidthDu = 10;
constexpr int kReductionLabelWidthDu = 8;

struct Caption {
    const char* text;
    DialogRect rect;
    TextAlign align;
    bool bold;
};

constexpr std::array<Caption, 12> kCaptions{{
    {"Input Level", {27, kCaptionTopDu, 102, 9}, TextAlign::Centre, true},
    {"Gain Reduction", {146, kCaptionTopDu, 106, 9}, TextAlign::Centre, true},
    {"Output Level", {272, kCaptionTopDu, 102, 9}, TextAlign::Centre, true},
    {"Ch 1", {4, 282, 21, 18}, TextAlign::Centre, true},
    {"Ch 2", {4, 307, 21, 19}, TextAlign::Centre, true},
    {"dBFS", {4, kMeterScaleTopDu, 17, kMeterScaleHeightDu}, TextAlign::Right, false},
    {"dBu", {379, kMeterScaleTopDu, 16, kMeterScaleHeightDu}, TextAlign::Left, false},
    {"H", {138, 284, 7, 6}, TextAlign::Centre, false},
    {"L", {138, 294, 7, 6}, TextAlign::Centre, false},
    {"H", {138, 307, 7, 6}, TextAlign::Centre, false},
    {"L", {138, 317, 7, 6}, TextAlign::Centre, false},
    {"Device Configuration", {396, 266, 128, 9}, TextAlign::Centre, true},
}};

// The panel behind the chain map, in dialog units.
constexpr DialogRect kDevicePanel{396, 264, 128, 63};

int PixelsY(int du, const DialogBaseUnits& units) {
    return DialogToPixels({0, du, 1, 1}, units).top;
}

int PixelsX(int du, const DialogBaseUnits& units) {
    return DialogToPixels({du, 0, 1, 1}, units).left;
}

int TextPixels(int du, const DialogBaseUnits& units) {
    return std::max(1, (du * units.y + 4) / 8);
}

PixelRect InnerOf(const PixelRect& meter) {
    return meter.Shrunk(1);
}

void AddMarks(Picture& picture, const std::vector<ScaleMark>& marks, int top, int bottom,
              int widthPixels, int textPixels) {
    for (const ScaleMark& mark : marks) {
        PictureText text;
        text.box = {mark.x - widthPixels / 2, top, mark.x - widthPixels / 2 + widthPixels, bottom};
        text.text = mark.text;
        text.pixelSize = textPixels;
        picture.texts.push_back(text);
    }
}

// Tick marks over a slider: tall ones at every 10 dB, short ones halfway between.
void AddSliderTicks(Picture& picture, const PixelRect& slider, int tickTop) {
    for (int code = kLevelCodeMin; code <= kLevelCodeMax; code += 10) {
        const bool major = (code - kLevelCodeMin) % 20 == 0;
        const int x = SliderThumbCentreX(slider, code);
        const int top = major ? tickTop : (tickTop + slider.top) / 2;
        AddRun(picture.runs, {x, top, x + 1, slider.top - 1}, Ink::Black);
    }
}

}  // namespace

int SliderThumbCentreX(const PixelRect& slider, int code) {
    const SliderTrack track = ComputeSliderTrack(slider.Width(), slider.Height());
    const int start = ThumbStartForPosition(track, {kLevelCodeMin, kLevelCodeMax, false}, code);
    return slider.left + start + track.thumbSize / 2;
}

int MeterPositionX(const PixelRect& meter, int position, int maximum) {
    const PixelRect inner = InnerOf(meter);
    if (maximum <= 0) return inner.left;
    return inner.left + position * inner.Width() / maximum;
}

std::vector<ScaleMark> SliderScaleMarks(const PixelRect& slider) {
    return {{"-20", SliderThumbCentreX(slider, 152)},
            {"-10", SliderThumbCentreX(slider, 172)},
            {"0", SliderThumbCentreX(slider, 192)},
            {"10", SliderThumbCentreX(slider, 212)},
            {"20", SliderThumbCentreX(slider, 232)}};
}

std::vector<ScaleMark> InputMeterMarks(const PixelRect& meter) {
    // Positions count half decibels up from -45 dBFS.
    const auto at = [&](int dbBelowFullScale) {
        return MeterPositionX(meter, kInputMeterMax - 2 * dbBelowFullScale, kInputMeterMax);
    };
    return {{"45", at(45)}, {"40", at(40)}, {"30", at(30)},
            {"20", at(20)}, {"10", at(10)}, {"0", at(0)}};
}

std::vector<ScaleMark> OutputMeterMarks(const PixelRect& meter) {
    // Positions count half decibels up from -33 dBu.
    const auto at = [&](int dbu) { return MeterPositionX(meter, 2 * (dbu + 33), kOutputMeterMax); };
    return {{"-33", at(-33)}, {"-20", at(-20)}, {"-10", at(-10)},
            {"0", at(0)},     {"10", at(10)},   {"24", at(24)}};
}

std::vector<ScaleMark> ReductionMeterMarks(const PixelRect& meter) {
    // The bright part starts where 41 - reduction ends; reductions count half decibels.
    const auto at = [&](int db) {
        return MeterPositionX(meter, ReductionMeterPosition(2 * db), kReductionMeterMax);
    };
    return {{"20", at(20)}, {"16", at(16)}, {"12", at(12)}, {"8", at(8)},
            {"4", at(4)},   {"2", at(2)},   {"TH", at(0)}};
}

std::vector<PixelRect> StripControlRects(const DialogBaseUnits& units) {
    std::vector<PixelRect> rects;
    for (const int id : kLevelSliderIds) rects.push_back(FormPixels(id, units));
    for (const int id : kMeterIds) rects.push_back(FormPixels(id, units));
    for (const int id : kChainButtonIds) rects.push_back(FormPixels(id, units));
    for (const int id :
         {view_id::kLamp1, view_id::kLamp2, view_id::kEditButton, view_id::kOnlineLabel}) {
        rects.push_back(FormPixels(id, units));
    }
    rects.push_back(PageAreaRect(units));
    return rects;
}

Picture ComputeStripPicture(const DialogBaseUnits& units) {
    Picture picture;
    const PixelPoint client = ViewClientSizeForPicture(PictureRect(units));
    picture.bounds = {0, 0, client.x, client.y};
    AddRun(picture.runs, picture.bounds, Ink::Panel);
    AddSunkenFrame(picture.runs, PageAreaRect(units));
    AddEtchedFrame(picture.runs, DialogToPixels(kDevicePanel, units));
    for (const int id : kMeterIds) AddSunkenFrame(picture.runs, FormPixels(id, units));

    const int captionPixels = TextPixels(kCaptionHeightDu, units);
    const int scalePixels = TextPixels(kScaleTextHeightDu, units);
    for (const Caption& caption : kCaptions) {
        PictureText text;
        text.box = DialogToPixels(caption.rect, units);
        text.text = caption.text;
        text.align = caption.align;
        text.bold = caption.bold;
        text.pixelSize = caption.bold ? captionPixels : scalePixels;
        picture.texts.push_back(text);
    }

    const int sliderTop = PixelsY(kSliderScaleTopDu, units);
    const int tickTop = PixelsY(kTickTopDu, units);
    const int sliderLabelWidth = PixelsX(kSliderLabelWidthDu, units);
    for (const int id : {view_id::kInputSlider1, view_id::kOutputSlider1}) {
        const PixelRect slider = FormPixels(id, units);
        AddMarks(picture, SliderScaleMarks(slider), sliderTop, tickTop, sliderLabelWidth,
                 scalePixels);
        AddSliderTicks(picture, slider, tickTop);
    }

    const int meterTop = PixelsY(kMeterScaleTopDu, units);
    const int meterBottom = PixelsY(kMeterScaleTopDu + kMeterScaleHeightDu, units);
    const int meterLabelWidth = PixelsX(kMeterLabelWidthDu, units);
    AddMarks(picture, InputMeterMarks(FormPixels(view_id::kInputMeter1, units)), meterTop,
             meterBottom, meterLabelWidth, scalePixels);
    AddMarks(picture, OutputMeterMarks(FormPixels(view_id::kOutputMeter1, units)), meterTop,
             meterBottom, meterLabelWidth, scalePixels);
    AddMarks(picture, ReductionMeterMarks(FormPixels(view_id::kReduction1L, units)), meterTop,
             meterBottom, PixelsX(kReductionLabelWidthDu, units), scalePixels);
    return picture;
}

}  // namespace arvestra
