#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "ui/controls/PixelRect.h"

namespace arvestra {

// What colours one column of a level meter: the black gap or the lit or unlit colour of one
// of the three zones.
enum class MeterInk : std::uint8_t { Black, Lit1, Lit2, Lit3, Unlit1, Unlit2, Unlit3 };

inline constexpr int kMeterZoneCount = 3;
// Right edge of each zone, in percent of the bar.
inline constexpr std::array<int, kMeterZoneCount> kMeterZoneLimits{60, 80, 100};
// Every segment is this many coloured columns followed by one black column.
inline constexpr int kMeterSegmentWidth = 2;

// The lit ink of zone 0..2.
MeterInk MeterLitInk(int zone);
// The unlit ink of zone 0..2.
MeterInk MeterUnlitInk(int zone);

struct MeterInput {
    int width = 0;
    int height = 0;
    int minimum = 0;
    int maximum = 0;
    int position = 0;
};

struct MeterLayout {
    PixelRect inner;                              // inside the black outline
    int litEnd = 0;                               // first column past the lit part
    std::array<int, kMeterZoneCount> zoneEnds{};  // first column past each zone
    std::vector<MeterInk> columns;                // ink of column inner.left + i, full height
};

// A run of neighbouring columns [first, pastLast) in one ink.
struct MeterRun {
    int first = 0;
    int pastLast = 0;
    MeterInk ink = MeterInk::Black;

    friend bool operator==(const MeterRun&, const MeterRun&) = default;
};

// Columns [first, pastLast) of a meter; empty when first >= pastLast.
struct ColumnSpan {
    int first = 0;
    int pastLast = 0;

    bool IsEmpty() const { return first >= pastLast; }
    friend bool operator==(const ColumnSpan&, const ColumnSpan&) = default;
};

// First column past the lit part for this input: a position at the minimum lights nothing,
// one at the maximum lights the whole bar; positions outside the range are clamped, and an
// empty range lights nothing.
int MeterLitEnd(const MeterInput& input);

// The segmented picture of a horizontal three-zone meter: groups of 2 coloured columns and
// 1 black column from the left, lit while a group starts before the lit end, unlit after it,
// each zone in its own colours; the last two columns are always the last colour and black.
MeterLayout ComputeMeterLayout(const MeterInput& input);

// The columns as runs of one ink, left to right, for painting.
std::vector<MeterRun> MeterRuns(const MeterLayout& layout);

// The smallest span of columns whose ink differs between two layouts of the same size; the
// whole inner width when the sizes differ.
ColumnSpan MeterChangedColumns(const MeterLayout& before, const MeterLayout& after);

}  // namespace arvestra
