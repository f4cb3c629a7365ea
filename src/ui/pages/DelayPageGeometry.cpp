#include "ui/pages/DelayPageGeometry.h"

#include <algorithm>

namespace arvestra {

namespace {

constexpr int kCaptionHeightDu = 9;

// The two etched panels: the delay (fields and slider) and the air temperature.
constexpr DialogRect kDelayPanel{8, 50, 504, 94};
constexpr DialogRect kTemperaturePanel{8, 152, 504, 52};

struct Caption {
    const char* text;
    DialogRect rect;
    TextAlign align;
    bool bold;
};

constexpr std::array<Caption, 6> kCaptions{{
    {"Feet", {60, 66, 76, kCaptionHeightDu}, TextAlign::Centre, false},
    {"Meters", {222, 66, 76, kCaptionHeightDu}, TextAlign::Centre, false},
    {"Seconds", {384, 66, 76, kCaptionHeightDu}, TextAlign::Centre, false},
    {"0", {14, 130, 40, kCaptionHeightDu}, TextAlign::Left, false},
    {"1.365333 Seconds", {396, 130, 108, kCaptionHeightDu}, TextAlign::Right, false},
    {"Temperature", {60, 168, 56, kCaptionHeightDu}, TextAlign::Centre, false},
}};

int TextPixels(int du, const DialogBaseUnits& units) {
    return std::max(1, (du * units.y + 4) / 8);
}

}  // namespace

DialogRect DelayPagePlaceOf(int id) {
    for (const PagePlace& place : kDelayPagePlaces) {
        if (place.id == id) return place.rect;
    }
    return {};
}

Picture DelayPagePicture(const DialogBaseUnits& units) {
    Picture picture;
    picture.bounds = DialogToPixels(kPageSize, units);
    AddEtchedFrame(picture.runs, DialogToPixels(kDelayPanel, units));
    AddEtchedFrame(picture.runs, DialogToPixels(kTemperaturePanel, units));
    for (const Caption& caption : kCaptions) {
        picture.texts.push_back({DialogToPixels(caption.rect, units), caption.text, caption.align,
                                 TextPixels(7, units), caption.bold, Ink::Black});
    }
    return picture;
}

}  // namespace arvestra
