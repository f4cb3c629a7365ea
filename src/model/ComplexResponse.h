#pragma once

#include <complex>
#include <vector>

#include "model/FilterSection.h"
#include "model/FrequencyGrid.h"

namespace arvestra {

// The complex response of one filter section at every point of a frequency grid, held as
// separate real and imaginary arrays so the evaluation loops vectorise.
class ComplexResponse {
  public:
    // Numerator / denominator by Smith's method, which avoids the overflow and most of the
    // cancellation of the textbook formula; a zero denominator gives infinities or NaN.
    static std::complex<double> DivideSmith(std::complex<double> numerator,
                                            std::complex<double> denominator);

    // Evaluates section at every point of grid (sized to the grid). Sections that are exactly 1
    // or exactly 0 are filled without evaluation, so flat sections give exact 0 dB.
    void Evaluate(const FilterSection& section, const FrequencyGrid& grid);
    // Sets size points to value.
    void Fill(int size, std::complex<double> value);

    int Size() const { return static_cast<int>(re_.size()); }
    const std::vector<double>& Re() const { return re_; }
    const std::vector<double>& Im() const { return im_; }
    std::complex<double> At(int index) const { return {re_[index], im_[index]}; }

  private:
    template <int Order>
    void EvaluateOrder(const FilterSection& section, const FrequencyGrid& grid);

    std::vector<double> re_;
    std::vector<double> im_;
};

}  // namespace arvestra
