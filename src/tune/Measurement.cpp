#include "tune/Measurement.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "tune/TextFileReader.h"
#include "tune/TextLines.h"

namespace arvestra {

namespace {

constexpr std::size_t kMaxPoints = 1'000'000;
// Levels far beyond any sound keep the interpolation's differences finite.
constexpr double kMaxLevelDb = 1000.0;

std::string LineError(int line, const std::string& text) {
    return "line " + std::to_string(line) + ": " + text;
}

bool IsComment(std::string_view line) {
    return line.empty() || line.front() == '*' || line.front() == '#' || line.front() == ';';
}

}  // namespace

Measurement::Measurement(std::vector<double> hz, std::vector<double> db)
    : hz_(std::move(hz)), db_(std::move(db)) {}

Measurement::ParseResult Measurement::Parse(std::string_view text) {
    std::vector<double> hz;
    std::vector<double> db;
    int lineNumber = 0;
    for (std::string_view raw : SplitLines(text)) {
        ++lineNumber;
        const std::string_view line = TrimSpaces(raw);
        if (IsComment(line)) continue;
        const std::vector<std::string_view> fields = SplitFields(line);
        if (fields.empty()) continue;
        const std::optional<double> f = ParseNumberField(fields[0]);
        if (!f) {
            // Words before the first point are a header ("Frequency,SPL"); after it, damage.
            if (hz.empty()) continue;
            return {{},
                    LineError(lineNumber, "\"" + std::string(fields[0]) + "\" is not a frequency")};
        }
        if (fields.size() < 2) {
            return {{}, LineError(lineNumber, "a frequency without a level")};
        }
        const std::optional<double> level = ParseNumberField(fields[1]);
        if (!level) {
            return {
                {},
                LineError(lineNumber, "\"" + std::string(fields[1]) + "\" is not a level in dB")};
        }
        if (!std::isfinite(*f) || !std::isfinite(*level)) {
            return {{}, LineError(lineNumber, "a value that is not a finite number")};
        }
        if (*f <= 0.0) return {{}, LineError(lineNumber, "the frequency must be above 0 Hz")};
        if (std::fabs(*level) > kMaxLevelDb) {
            return {{}, LineError(lineNumber, "a level beyond +-1000 dB is no measurement")};
        }
        if (!hz.empty() && *f <= hz.back()) {
            const char* what = *f == hz.back() ? "repeats" : "is below";
            return {{},
                    LineError(lineNumber, "frequency " + FormatNumber(*f, 3) + " Hz " + what +
                                              " the line before it (" + FormatNumber(hz.back(), 3) +
                                              " Hz); frequencies must ascend")};
        }
        if (hz.size() >= kMaxPoints) return {{}, "more than a million points"};
        hz.push_back(*f);
        db.push_back(*level);
    }
    if (hz.empty()) return {{}, "no measurement points found (expected lines of \"Hz dB\")"};
    if (hz.size() < 2) return {{}, "only one measurement point; at least two are needed"};
    return {Measurement(std::move(hz), std::move(db)), {}};
}

double Measurement::LevelAt(double hz) const {
    if (hz_.empty()) return 0.0;
    if (hz <= hz_.front()) return db_.front();
    if (hz >= hz_.back()) return db_.back();
    const auto upper = std::upper_bound(hz_.begin(), hz_.end(), hz);
    const std::size_t i = static_cast<std::size_t>(upper - hz_.begin());
    const double t = std::log(hz / hz_[i - 1]) / std::log(hz_[i] / hz_[i - 1]);
    return db_[i - 1] + t * (db_[i] - db_[i - 1]);
}

std::vector<double> Measurement::LevelsAt(std::span<const double> hz) const {
    std::vector<double> levels;
    levels.reserve(hz.size());
    for (double f : hz) levels.push_back(LevelAt(f));
    return levels;
}

double Measurement::MeanOver(double lowHz, double highHz) const {
    const double lo = std::max(lowHz, LowestHz());
    const double hi = std::min(highHz, HighestHz());
    if (!(lo < hi)) return std::numeric_limits<double>::quiet_NaN();
    // Equal steps in log frequency: 48 per octave is far finer than any smoothing a user sets.
    const int steps = std::max(2, static_cast<int>(std::log2(hi / lo) * 48.0));
    double sum = 0.0;
    for (int i = 0; i <= steps; ++i) sum += LevelAt(lo * std::pow(hi / lo, double(i) / steps));
    return sum / (steps + 1);
}

Measurement Measurement::Shifted(double offsetDb) const {
    std::vector<double> db = db_;
    for (double& level : db) level -= offsetDb;
    return Measurement(hz_, std::move(db));
}

}  // namespace arvestra

namespace arvestra {

Measurement::ParseResult ReadMeasurementFile(const std::string& path) {
    const TextFileResult file = ReadTuneTextFile(path);
    if (!file.Ok()) return {{}, file.error};
    Measurement::ParseResult parsed = Measurement::Parse(file.text);
    if (!parsed.Ok()) parsed.error = path + ": " + parsed.error;
    return parsed;
}

}  // namespace arvestra
