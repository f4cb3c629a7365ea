#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tune/EqCodes.h"

namespace arvestra {

// One peaking filter read from a filter list, with the line it came from (counted from 1).
struct PeakingFilter {
    int line = 0;
    double frequencyHz = 1000.0;
    double gainDb = 0.0;
    double q = 1.0;
};

// A remark about one line of a filter list: what could not be done (a problem: importing
// anyway loses or changes it) or what was merely skipped (a note).
struct FilterLineRemark {
    int line = 0;
    std::string text;
};

// What a filter list holds, line by line.
struct FilterList {
    std::vector<PeakingFilter> filters;      // the peaking filters to import, at most 10
    std::vector<FilterLineRemark> problems;  // lines that cannot be imported as they stand
    std::vector<FilterLineRemark> notes;     // lines skipped that change nothing
    std::string error;                       // the file as a whole is unusable

    bool Ok() const { return error.empty(); }
};

// Reads the filter lines that measurement programs export ("Filter  1: ON  PK  Fc  62 Hz  Gain
// 6.0 dB  Q 6.700", with a header and "None" entries), also as equaliser configuration files
// write them (with "Preamp:"). Peaking filters beyond the channel's 10 bands, other filter types
// and values beyond the bands' range are problems; a file with no filter line is an error.
FilterList ParseFilterList(std::string_view text);

// The lines of a filter list for one channel's bands, each band as the peaking filter whose
// response comes closest to it; bypassed and 0 dB bands are written as "None".
std::string FormatFilterList(const ParametricCodes& bands, bool eqBypass, std::string_view title);

// Remark lines as "line N: text", one per line.
std::string FormatRemarks(const std::vector<FilterLineRemark>& remarks);

}  // namespace arvestra
