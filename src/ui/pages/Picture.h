// A background picture as plain data: filled rectangles in panel inks and captions in boxes,
// all in window pixels. Pictures are computed from the dialog base units, so they keep their
// proportions at any font size, and painted with vector text, so they stay crisp at any scale.
#pragma once

#include <string>
#include <vector>

#include "ui/controls/PaintRun.h"
#include "ui/controls/PixelRect.h"

namespace arvestra {

enum class TextAlign : unsigned char { Left, Centre, Right };

// One caption: drawn on a single line inside box, vertically centred, never clipped by it.
struct PictureText {
    PixelRect box;
    std::string text;
    TextAlign align = TextAlign::Centre;
    int pixelSize = 10;  // font height in pixels
    bool bold = false;
    Ink ink = Ink::Black;
};

struct Picture {
    PixelRect bounds;  // the area the picture covers
    PaintRuns runs;    // painted first, in order
    std::vector<PictureText> texts;

    // The caption with exactly this text, or nullptr.
    const PictureText* FindText(const std::string& text) const;
};

// Adds a sunken frame one pixel outside rect: dark top and left, white bottom and right.
void AddSunkenFrame(PaintRuns& runs, const PixelRect& rect);
// Adds a raised bevel on the edges of rect: white top and left, dark bottom and right.
void AddRaisedBevel(PaintRuns& runs, const PixelRect& rect);
// Adds a one-pixel etched line around rect (a dark line with a white line inside it).
void AddEtchedFrame(PaintRuns& runs, const PixelRect& rect);

}  // namespace arvestra
