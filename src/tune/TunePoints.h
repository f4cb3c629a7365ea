#pragma once

#include <span>
#include <vector>

#include "model/FilterSection.h"

namespace arvestra {

// The frequencies at which a fit or a filter match compares responses, with cos and sin of w
// and 2w at each (w at the device's 48 kHz sampling rate), computed once so the many second-order
// sections a search tries cost only multiplications and one division per point.
class TunePoints {
  public:
    // Points at the given frequencies (Hz, ascending).
    explicit TunePoints(std::span<const double> frequenciesHz);
    // The points of the editor's frequency grid (20 Hz to 20 kHz, extraPoints per scale step)
    // that lie within lowHz..highHz.
    static TunePoints GridRange(double lowHz, double highHz, int extraPoints = 3);

    int Size() const { return static_cast<int>(hz_.size()); }
    std::span<const double> Hz() const { return hz_; }

    // Level in dB of a second-order section at every point, written to outDb (sized to Size()).
    void SectionDb(const FilterSection& section, std::span<double> outDb) const;
    // Adds the level in dB of a second-order section at every point to accDb.
    void AddSectionDb(const FilterSection& section, std::span<double> accDb) const;
    // Complex response of a second-order section at every point (one division per point).
    void SectionComplex(const FilterSection& section, std::span<double> re,
                        std::span<double> im) const;

    // Multiplies the complex response held in accRe/accIm by the section's, point by point: a
    // cascade of sections in one pass each, with no array in between.
    void CascadeSection(const FilterSection& section, std::span<double> accRe,
                        std::span<double> accIm) const;

  private:
    std::vector<double> hz_;
    std::vector<double> c1_, s1_, c2_, s2_;
};

// 10 log10(x) for positive finite x to within 1e-4 dB, written so that loops over arrays
// vectorise (std::log10 keeps a loop scalar).
double PowerToDbFast(double power);

}  // namespace arvestra
