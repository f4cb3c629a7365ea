// Feeds arbitrary text to the readers of filter lists and measurements. Besides not crashing,
// what they accept must hold together: at most 10 filters, each with finite numbers within the
// bands' range and a positive Q; a measurement with at least two finite points at strictly
// ascending positive frequencies, whose levels read back at its own frequencies.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tune/FilterText.h"
#include "tune/Measurement.h"

namespace {

using namespace arvestra;

void Require(bool condition) {
    if (!condition) std::abort();
}

void CheckFilters(std::string_view text) {
    const FilterList list = ParseFilterList(text);
    Require(list.filters.size() <= 10);
    for (const PeakingFilter& f : list.filters) {
        Require(std::isfinite(f.frequencyHz) && f.frequencyHz >= 20.0 && f.frequencyHz <= 20000.0);
        Require(std::isfinite(f.gainDb) && f.gainDb >= -49.5 && f.gainDb <= 12.0);
        Require(std::isfinite(f.q) && f.q > 0.0);
        Require(f.line >= 1);
    }
    if (!list.Ok()) Require(list.filters.empty());
}

void CheckMeasurement(std::string_view text) {
    const Measurement::ParseResult result = Measurement::Parse(text);
    if (!result.Ok()) {
        Require(result.measurement.Empty());
        return;
    }
    const Measurement& m = result.measurement;
    Require(m.Hz().size() >= 2 && m.Hz().size() == m.Db().size());
    for (std::size_t i = 0; i < m.Hz().size(); ++i) {
        Require(std::isfinite(m.Hz()[i]) && m.Hz()[i] > 0.0 && std::isfinite(m.Db()[i]));
        if (i > 0) Require(m.Hz()[i] > m.Hz()[i - 1]);
        Require(m.LevelAt(m.Hz()[i]) == m.Db()[i]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckFilters(text);
    CheckMeasurement(text);
    return 0;
}
