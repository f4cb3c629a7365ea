#include "ui/view/ViewLayout.h"

namespace arvestra {

namespace {

struct FormPlace {
    int id;
    DialogRect rect;
};

constexpr std::array<FormPlace, 18> kFormPlaces{{
    {view_id::kPicture, {0, 0, 527, 329}},
    {view_id::kPageOrigin, {4, 20, 14, 12}},
    {view_id::kOnlineLabel, {4, 5, 42, 8}},
    {view_id::kInputSlider1, {27, 282, 91, 11}},
    {view_id::kInputSlider2, {27, 315, 91, 11}},
    {view_id::kInputMeter1, {27, 294, 102, 6}},
    {view_id::kInputMeter2, {27, 307, 102, 6}},
    {view_id::kReduction1H, {146, 284, 106, 6}},
    {view_id::kReduction1L, {146, 294, 106, 6}},
    {view_id::kReduction2H, {146, 307, 106, 6}},
    {view_id::kReduction2L, {146, 317, 106, 6}},
    {view_id::kOutputSlider1, {272, 282, 91, 11}},
    {view_id::kOutputSlider2, {272, 315, 91, 11}},
    {view_id::kOutputMeter1, {272, 294, 102, 6}},
    {view_id::kOutputMeter2, {272, 307, 102, 6}},
    {view_id::kLamp1, {367, 284, 6, 6}},
    {view_id::kLamp2, {367, 317, 6, 6}},
    {view_id::kEditButton, {443, 310, 43, 13}},
}};

constexpr int kChainButtonLeft = 408;
constexpr int kChainButtonStep = 14;
constexpr int kChainButtonWidth = 12;
constexpr int kChainButtonHeight = 10;
constexpr std::array<int, 2> kChainRowTop{280, 296};
constexpr int kPictureMargin = 5;

}  // namespace

DialogRect FormPlaceOf(int id) {
    for (const FormPlace& place : kFormPlaces) {
        if (place.id == id) return place.rect;
    }
    for (std::size_t slot = 0; slot < kChainButtonIds.size(); ++slot) {
        if (kChainButtonIds[slot] != id) continue;
        const int column = static_cast<int>(slot % 8);
        return {kChainButtonLeft + kChainButtonStep * column, kChainRowTop[slot / 8],
                kChainButtonWidth, kChainButtonHeight};
    }
    return {};
}

PixelRect FormPixels(int id, const DialogBaseUnits& units) {
    return DialogToPixels(FormPlaceOf(id), units);
}

PixelRect PictureRect(const DialogBaseUnits& units) {
    return FormPixels(view_id::kPicture, units);
}

PixelPoint ViewClientSizeForPicture(const PixelRect& picture) {
    return {picture.right + kPictureMargin, picture.bottom + kPictureMargin};
}

PixelRect PageAreaRect(const DialogBaseUnits& units) {
    const PixelRect origin = FormPixels(view_id::kPageOrigin, units);
    const PixelRect size = DialogToPixels(kPageSize, units);
    return {origin.left + 1, origin.top, origin.left + 1 + size.Width(),
            origin.top + size.Height()};
}

}  // namespace arvestra
