#pragma once

// Plain pixel geometry shared by the owner-drawn controls. Rectangles follow the usual window
// convention: left and top are inside, right and bottom are one past the last pixel, so a
// control of width w spans columns 0 .. w - 1 and its client rectangle is {0, 0, w, h}.

namespace arvestra {

struct PixelPoint {
    int x = 0;
    int y = 0;

    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    // Width in pixels; 0 for an empty or inverted rectangle.
    int Width() const { return right > left ? right - left : 0; }
    // Height in pixels; 0 for an empty or inverted rectangle.
    int Height() const { return bottom > top ? bottom - top : 0; }
    // True when the rectangle covers no pixel.
    bool IsEmpty() const { return right <= left || bottom <= top; }
    // True when the pixel (x, y) lies inside.
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    // The rectangle moved inward by d pixels on every side (outward for negative d).
    PixelRect Shrunk(int d) const { return {left + d, top + d, right - d, bottom - d}; }
    // The rectangle moved by (dx, dy).
    PixelRect Moved(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }

    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A one-pixel-high run on row y from column x0 to column x1, both included.
inline PixelRect RowRun(int y, int x0, int x1) {
    return {x0, y, x1 + 1, y + 1};
}

// A one-pixel-wide run in column x from row y0 to row y1, both included.
inline PixelRect ColumnRun(int x, int y0, int y1) {
    return {x, y0, x + 1, y1 + 1};
}

}  // namespace arvestra
