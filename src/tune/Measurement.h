#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace arvestra {

// A measured frequency response: levels in dB at ascending frequencies.
class Measurement {
  public:
    // The result of reading one: the measurement, or the first thing wrong with the text.
    struct ParseResult;

    // Reads a measurement program's text export ("* comment" lines, then "freq SPL [phase]"
    // separated by spaces, tabs or commas) or a plain CSV of "Hz,dB" (a header line allowed).
    // Frequencies must be finite, above 0 and strictly ascending; levels finite; at least two
    // points.
    static ParseResult Parse(std::string_view text);

    Measurement() = default;
    Measurement(std::vector<double> hz, std::vector<double> db);

    bool Empty() const { return hz_.empty(); }
    std::span<const double> Hz() const { return hz_; }
    std::span<const double> Db() const { return db_; }
    double LowestHz() const { return hz_.empty() ? 0.0 : hz_.front(); }
    double HighestHz() const { return hz_.empty() ? 0.0 : hz_.back(); }

    // The level at hz, interpolated linearly over log frequency; held at the ends.
    double LevelAt(double hz) const;
    // The levels at ascending frequencies.
    std::vector<double> LevelsAt(std::span<const double> hz) const;
    // Mean level over lowHz..highHz, weighting each octave alike; NaN when the range holds no
    // part of the measurement.
    double MeanOver(double lowHz, double highHz) const;
    // The measurement shifted by -offsetDb.
    Measurement Shifted(double offsetDb) const;

  private:
    std::vector<double> hz_;
    std::vector<double> db_;
};

struct Measurement::ParseResult {
    Measurement measurement;
    std::string error;  // empty on success; names the line

    bool Ok() const { return error.empty(); }
};

}  // namespace arvestra

namespace arvestra {

// Reads a measurement file (refused unread when far too large for one); the error names the
// file and, for bad content, the line.
Measurement::ParseResult ReadMeasurementFile(const std::string& path);

}  // namespace arvestra
