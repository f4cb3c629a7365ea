// Geometry of the delay page: where its controls sit in dialog units and the background picture
// with the field captions, the slider's end labels and the panels that group the controls.
#pragma once

#include <array>

#include "ui/dialogs/DialogUnits.h"
#include "ui/pages/PageGeometry.h"
#include "ui/pages/Picture.h"

namespace arvestra {

// Control ids of the delay page.
namespace delay_id {
inline constexpr int kBypass = 1077;
inline constexpr int kSlider = 1081;
inline constexpr int kFeet = 1078;
inline constexpr int kMetres = 1079;
inline constexpr int kSeconds = 1080;
inline constexpr int kTemperature = 1082;
inline constexpr int kDegF = 3130;
inline constexpr int kDegC = 3131;
inline constexpr int kDefaults = 1016;
}  // namespace delay_id

// The page's own controls and their rectangles in dialog units.
inline constexpr std::array<PagePlace, 9> kDelayPagePlaces{{
    {delay_id::kBypass, {16, 28, 64, 14}},
    {delay_id::kFeet, {60, 76, 76, 12}},
    {delay_id::kMetres, {222, 76, 76, 12}},
    {delay_id::kSeconds, {384, 76, 76, 12}},
    {delay_id::kSlider, {24, 110, 472, 18}},
    {delay_id::kTemperature, {60, 178, 56, 12}},
    {delay_id::kDegF, {124, 178, 34, 12}},
    {delay_id::kDegC, {162, 178, 34, 12}},
    {delay_id::kDefaults, {384, 176, 76, 14}},
}};

// The dialog-unit rectangle of a delay page control; empty for another id.
DialogRect DelayPagePlaceOf(int id);

// The delay page's artwork over the common panel: the delay and temperature panels, the
// captions "Feet", "Meters", "Seconds", "Temperature", and the slider's end labels "0" and
// "1.365333 Seconds".
Picture DelayPagePicture(const DialogBaseUnits& units);

}  // namespace arvestra
