// The main view's form in dialog units: where every control of the strip, the online label, the
// page area and the chain map sit. The view places its widgets from this table and the
// background picture is drawn from the same table, so the two always agree.
#pragma once

#include <array>

#include "app/CommandId.h"
#include "ui/controls/PixelRect.h"
#include "ui/dialogs/DialogUnits.h"
#include "ui/pages/PageGeometry.h"

namespace arvestra {

namespace view_id {
inline constexpr int kPicture = 1110;     // the background picture's rectangle
inline constexpr int kPageOrigin = 1169;  // top-left corner of the page area
inline constexpr int kOnlineLabel = 3151;
inline constexpr int kInputSlider1 = 1123;
inline constexpr int kInputSlider2 = 1124;
inline constexpr int kOutputSlider1 = 1125;
inline constexpr int kOutputSlider2 = 1126;
inline constexpr int kInputMeter1 = 1127;
inline constexpr int kInputMeter2 = 1128;
inline constexpr int kOutputMeter1 = 1129;
inline constexpr int kOutputMeter2 = 1130;
inline constexpr int kReduction1H = 1131;
inline constexpr int kReduction1L = 1132;
inline constexpr int kReduction2H = 1133;
inline constexpr int kReduction2L = 1134;
inline constexpr int kLamp1 = 1012;
inline constexpr int kLamp2 = 1013;
inline constexpr int kEditButton = static_cast<int>(CommandId::ViewEditButton);
}  // namespace view_id

// The form is 528 x 329 dialog units.
inline constexpr DialogRect kFormSize{0, 0, 528, 329};

// The chain buttons in chain-slot order: slots 0-7 are the channel 1 row, 8-15 channel 2's.
inline constexpr std::array<int, 16> kChainButtonIds{
    1299, 1300, 1301, 1302, 1303, 1298, 1297, 1296, 1291, 1292, 1293, 1294, 1295, 1287, 1286, 1284};

// The four level sliders in refresh order: Ch 1 input, Ch 2 input, Ch 1 output, Ch 2 output.
inline constexpr std::array<int, 4> kLevelSliderIds{view_id::kInputSlider1, view_id::kInputSlider2,
                                                    view_id::kOutputSlider1,
                                                    view_id::kOutputSlider2};

// The eight meters in id order 1127..1134.
inline constexpr std::array<int, 8> kMeterIds{
    view_id::kInputMeter1, view_id::kInputMeter2, view_id::kOutputMeter1, view_id::kOutputMeter2,
    view_id::kReduction1H, view_id::kReduction1L, view_id::kReduction2H,  view_id::kReduction2L};

// The form rectangle of a control (chain buttons included); empty for an unknown id.
DialogRect FormPlaceOf(int id);
// The same in view pixels for a font's base units.
PixelRect FormPixels(int id, const DialogBaseUnits& units);

// The picture rectangle, and the view's client size that fits it with a 5-pixel margin.
PixelRect PictureRect(const DialogBaseUnits& units);
PixelPoint ViewClientSizeForPicture(const PixelRect& picture);

// The rectangle every page occupies: the configuration page's size, one pixel right of the
// page-origin placeholder's left edge, at its top.
PixelRect PageAreaRect(const DialogBaseUnits& units);

}  // namespace arvestra
