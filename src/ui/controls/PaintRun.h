#pragma once

#include <cstdint>
#include <vector>

#include "ui/controls/PixelRect.h"

namespace arvestra {

// The colours of the panel look, by role. The widgets turn a role into a colour; the geometry
// functions only say which role covers which pixels, so they can be checked without a window.
enum class Ink : std::uint8_t {
    Black,         // stock black
    White,         // stock white
    Light,         // light bevel #E0E0E0
    Dark,          // dark bevel and disabled text #808080
    Panel,         // panel background #A0A0A4
    DisabledFace,  // disabled button face and disabled slider thumb #C0C0C0
    Focus,         // slider channel with the keyboard focus #FF0000
    Face,          // the owner's face colour of a button
    LampLit,       // lamp while lit
    LampDark,      // lamp while dark
};

// One filled rectangle of a control's picture. Runs are painted in order; later runs cover
// earlier ones, which is how bevels are laid over outlines.
struct PaintRun {
    PixelRect rect;
    Ink ink = Ink::Black;

    friend bool operator==(const PaintRun&, const PaintRun&) = default;
};

using PaintRuns = std::vector<PaintRun>;

// Appends a run unless it covers no pixel.
inline void AddRun(PaintRuns& runs, const PixelRect& rect, Ink ink) {
    if (!rect.IsEmpty()) runs.push_back({rect, ink});
}

// Appends the four one-pixel edges of rect in one ink (an outline of a filled rectangle).
void AddOutline(PaintRuns& runs, const PixelRect& rect, Ink ink);

// Cuts every run to bounds and drops the runs left empty, so that small controls never paint
// outside themselves.
void ClipRuns(PaintRuns& runs, const PixelRect& bounds);

// The ink that the last run covering pixel (x, y) gives it, or fallback when no run covers it.
Ink InkAt(const PaintRuns& runs, int x, int y, Ink fallback);

}  // namespace arvestra
