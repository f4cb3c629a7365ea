#pragma once

namespace arvestra {

// A graph area in pixels (client coordinates, y growing downwards).
struct GraphRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool operator==(const GraphRect&) const = default;
};

// What the edges of a response graph stand for: dB at the top and bottom, Hz at the left and
// right edge of the logarithmic frequency axis.
struct GraphConstants {
    double topDb;
    double bottomDb;
    double lowHz;
    double highHz;
};

// The graph of the graphic equaliser page: +24.5 to -25.0 dB, 19.2 Hz to 21 kHz.
inline constexpr GraphConstants kGraphicEqGraph{24.5, -25.0, 19.2, 21000.0};
// The graph of the parametric equaliser page: +20.1 to -50.5 dB, 19.2 Hz to 21 kHz.
inline constexpr GraphConstants kParametricEqGraph{20.1, -50.5, 19.2, 21000.0};

// Maps frequencies to x on a logarithmic axis and levels to y on a linear axis, and back, for
// one graph rectangle. Pixel results round half away from the edge the way the pages always
// have (truncate after adding 0.5). A degenerate rectangle or axis maps everything to its
// first edge, and a value that is not a number or too large for a pixel is limited, so no
// input makes the integer conversion undefined.
class GraphMapping {
  public:
    GraphMapping(GraphRect rect, GraphConstants constants);

    const GraphRect& Rect() const { return rect_; }
    const GraphConstants& Constants() const { return constants_; }

    // dB covered by one pixel row: (top dB - bottom dB) / (bottom - top); 0 for a flat rect.
    double DbPerPixel() const;
    // Row of a level: top + trunc((dB - top dB) / (bottom dB - top dB) * height + 0.5).
    int DbToY(double db) const;
    // Level of a row: top dB + (y - top) / height * (bottom dB - top dB).
    double YToDb(int y) const;
    // Row of a level counted in whole pixels from the top edge (the dot range limits above 0 dB).
    int DbToYFromTop(double db) const;
    // Row of a level counted in whole pixels from the bottom edge (the dot range limits below).
    int DbToYFromBottom(double db) const;
    // Column of a frequency on the logarithmic axis between the low and high edge frequencies.
    int FrequencyToX(double hz) const;
    // Frequency of a column: 10 ^ (log10 low + (x - left) / width * (log10 high - log10 low)).
    double XToFrequency(int x) const;

  private:
    GraphRect rect_;
    GraphConstants constants_;
};

}  // namespace arvestra
