#pragma once

#include <span>

#include "model/Scale.h"

namespace arvestra {

// The codes a scale defines, lowest and highest.
struct CodeRange {
    int lowest;
    int highest;
};

// Returns the codes of a scale (Scale::None: 0..255, Delay: 0..65536, Temperature: 0..1500).
CodeRange ScaleCodes(Scale scale);

// Returns the value table of a table scale indexed from its lowest code; empty for formula
// scales (Delay, Temperature, None).
std::span<const double> ScaleTable(Scale scale);

// Returns the value of a code. Table scales use the code's low 8 bits, then bound it to the
// table, so a code from a corrupt image never reads past a table. Delay counts are bounded to
// 24 bits and temperature counts to 16 bits.
double valueOf(Scale scale, int code);

// Returns the code whose value is nearest to value: a value not above the first entry (NaN
// included) gives the lowest code, one at or above the last entry the highest, and an exact tie
// goes to the higher code. Delay rounds seconds to samples (0..65536), Temperature rounds deg F
// to tenths (0..1500), None rounds to 0..255.
int nearestCode(Scale scale, double value);

// Returns the bandwidth code a parametric band really has at its frequency code. Both inputs are
// bounded to their tables first, so the walk never leaves the offset table.
int effectiveBandwidth(int frequencyCode, int bandwidthCode);

}  // namespace arvestra
