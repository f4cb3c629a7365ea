#include "tune/ResponseError.h"

#include <algorithm>
#include <cmath>

namespace arvestra {

ResponseError CompareDb(std::span<const double> a, std::span<const double> b) {
    const std::size_t size = std::min(a.size(), b.size());
    if (size == 0) return {};
    double sum = 0.0;
    double largest = 0.0;
    for (std::size_t i = 0; i < size; ++i) {
        const double d = a[i] - b[i];
        sum += d * d;
        largest = std::max(largest, std::fabs(d));
    }
    return {std::sqrt(sum / static_cast<double>(size)), largest};
}

ResponseError CompareDbShape(std::span<const double> a, std::span<const double> b, double* meanDb) {
    const std::size_t size = std::min(a.size(), b.size());
    if (size == 0) return {};
    double mean = 0.0;
    for (std::size_t i = 0; i < size; ++i) mean += a[i] - b[i];
    mean /= static_cast<double>(size);
    double sum = 0.0;
    double largest = 0.0;
    for (std::size_t i = 0; i < size; ++i) {
        const double d = a[i] - b[i] - mean;
        sum += d * d;
        largest = std::max(largest, std::fabs(d));
    }
    if (meanDb) *meanDb = mean;
    return {std::sqrt(sum / static_cast<double>(size)), largest};
}

double SquaredErrorOfSum(std::span<const double> a, std::span<const double> c,
                         std::span<const double> b) {
    double sum = 0.0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double d = a[i] + c[i] - b[i];
        sum += d * d;
    }
    return sum;
}

}  // namespace arvestra
