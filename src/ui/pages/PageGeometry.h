// Geometry of the page framework: the page size and the framework controls in dialog units, the
// sunken frames around value edit fields and the panel behind every page, as plain functions.
#pragma once

#include <array>

#include "ui/controls/PaintRun.h"
#include "ui/controls/PixelRect.h"
#include "ui/dialogs/DialogUnits.h"
#include "ui/pages/Picture.h"

namespace arvestra {

// A rectangle in dialog units: x, y, width, height.
struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Converts dialog units to window pixels with a font's base units.
PixelRect DialogToPixels(const DialogRect& rect, const DialogBaseUnits& units);

// Control ids of the framework controls every page carries.
namespace page_id {
inline constexpr int kOnline = 3153;
inline constexpr int kOffline = 3154;
inline constexpr int kDevice = 1028;
inline constexpr int kPreset = 1029;
inline constexpr int kDeviceName = 3117;
inline constexpr int kPresetName = 3118;
}  // namespace page_id

// Every page has the configuration page's size.
inline constexpr DialogRect kPageSize{0, 0, 520, 241};

// Where a framework control sits on a page.
struct PagePlace {
    int id;
    DialogRect rect;
};
// Online and Offline at the top left; Device and Preset at the top right, each followed by its
// name field.
inline constexpr std::array<PagePlace, 6> kPageFrameworkPlaces{{
    {page_id::kOnline, {4, 4, 30, 12}},
    {page_id::kOffline, {36, 4, 30, 12}},
    {page_id::kDevice, {236, 4, 30, 12}},
    {page_id::kDeviceName, {270, 5, 116, 10}},
    {page_id::kPreset, {392, 4, 30, 12}},
    {page_id::kPresetName, {426, 5, 90, 10}},
}};

// The dialog-unit rectangle of a framework control; an empty rectangle for another id.
DialogRect PagePlaceOf(int id);

// A value edit field is moved 2 pixels in on every side; its frame is drawn in the freed border.
PixelRect ShrunkEditField(const PixelRect& templateRect);

// The sunken frame around an edit field at `field` (page pixels): an inner line 1 pixel outside
// (black left and top, light right and bottom) and an outer line 2 pixels outside (dark left and
// top, white right and bottom).
PaintRuns EditFrameRuns(const PixelRect& field);

// The panel every page shows behind its own artwork: the panel colour, a raised edge, the band
// that holds the framework controls and sunken frames around the two name fields.
Picture PageBasePicture(int width, int height, const DialogBaseUnits& units);

}  // namespace arvestra
