#include "model/ParamValue.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "model/DelayMath.h"
#include "model/DotDecimalScope.h"
#include "model/Scales.h"

namespace arvestra {

namespace {

// How a number in a unit becomes a value of the scale.
enum class UnitKind { Factor, Celsius, Feet, Metres };

// A unit suffix and the factor that turns a number in it into the scale's own value.
struct Unit {
    const char* suffix;  // compared without regard to letter case
    double factor;
    UnitKind kind = UnitKind::Factor;
};

constexpr Unit kFrequencyUnits[] = {{"Hz", 1.0}, {"kHz", 1000.0}};
constexpr Unit kDecibelUnits[] = {{"dB", 1.0}};
constexpr Unit kBandwidthUnits[] = {{"bw", 1.0}};
constexpr Unit kQUnits[] = {{"Q", 1.0}};
constexpr Unit kMillisecondUnits[] = {{"ms", 1.0}, {"s", 1000.0}};
constexpr Unit kRatioUnits[] = {{":1", 1.0}};
constexpr Unit kDelayUnits[] = {
    {"ms", 0.001}, {"s", 1.0}, {"ft", 1.0, UnitKind::Feet}, {"m", 1.0, UnitKind::Metres}};
constexpr Unit kTemperatureUnits[] = {{"F", 1.0}, {"C", 1.0, UnitKind::Celsius}};

// The units a scale accepts; PrintedUnit picks the one "get --units" prints.
std::span<const Unit> UnitsOf(Scale scale) {
    switch (scale) {
        case Scale::Frequency:
            return kFrequencyUnits;
        case Scale::GraphicGain:
        case Scale::ParametricGain:
        case Scale::Threshold:
        case Scale::CompressorGain:
        case Scale::PinkNoiseLevel:
        case Scale::Level:
            return kDecibelUnits;
        case Scale::Bandwidth:
            return kBandwidthUnits;
        case Scale::GraphicQ:
            return kQUnits;
        case Scale::Attack:
        case Scale::Release:
            return kMillisecondUnits;
        case Scale::Ratio:
            return kRatioUnits;
        case Scale::Delay:
            return kDelayUnits;
        case Scale::Temperature:
            return kTemperatureUnits;
        case Scale::None:
            break;
    }
    return {};
}

// The unit "get --units" prints for a scale: the first it accepts (Hz, dB, ms, F...).
const Unit* PrintedUnit(Scale scale) {
    const std::span<const Unit> units = UnitsOf(scale);
    return units.empty() ? nullptr : &units[0];
}

// How far a printed value may lie from the code's own value: less than half the way to the
// nearest code with a different value, so that a value at either end of a scale is not
// rounded to something it is not (0.05 must not print as 0 just because 0 maps to the same
// lowest code). Infinite when no neighbour has a different value.
double PrintTolerance(Scale scale, int code) {
    const CodeRange codes = ScaleCodes(scale);
    const double value = valueOf(scale, code);
    double nearest = HUGE_VAL;
    for (const int neighbour : {code - 1, code + 1}) {
        if (neighbour < codes.lowest || neighbour > codes.highest) continue;
        const double distance = std::fabs(valueOf(scale, neighbour) - value);
        if (distance > 0.0 && distance < nearest) nearest = distance;
    }
    return nearest / 2.0;
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    const std::string_view tail = text.substr(text.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(tail[i])) !=
            std::tolower(static_cast<unsigned char>(suffix[i]))) {
            return false;
        }
    }
    return true;
}

// Splits the number from its unit: the unit is the trailing run of characters that are not
// digits or a decimal point.
std::pair<std::string_view, std::string_view> SplitUnit(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0) {
        const char c = text[end - 1];
        if ((c >= '0' && c <= '9') || c == '.') break;
        --end;
    }
    // ":1" ends in a digit: it is recognised as a whole.
    if (EndsWithNoCase(text, ":1")) end = text.size() - 2;
    std::string_view number = text.substr(0, end);
    std::string_view unit = text.substr(end);
    // "1000 Hz" reads as "1000Hz".
    while (!number.empty() && number.back() == ' ') number.remove_suffix(1);
    while (!unit.empty() && unit.front() == ' ') unit.remove_prefix(1);
    return {number, unit};
}

ValueParse Error(std::string message) {
    ValueParse parse;
    parse.error = std::move(message);
    return parse;
}

// Skips one leading '+', so "+3" reads as 3 (but "+-3" is refused).
const char* SkipPlus(std::string_view text) {
    const char* first = text.data();
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') ++first;
    return first;
}

std::optional<double> ParseDecimal(std::string_view text) {
    if (text.empty()) return std::nullopt;
    const char* first = SkipPlus(text);
    double value = 0.0;
    const auto [end, fault] =
        std::from_chars(first, text.data() + text.size(), value, std::chars_format::fixed);
    if (fault != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<long long> ParseWhole(std::string_view text) {
    if (text.empty()) return std::nullopt;
    const char* first = SkipPlus(text);
    long long value = 0;
    const auto [end, fault] = std::from_chars(first, text.data() + text.size(), value);
    if (fault != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// The number in the scale's own unit (deg F, seconds, Hz...).
double ScaleValueOf(const Unit& unit, double number) {
    if (unit.kind == UnitKind::Celsius) return FahrenheitFromCelsius(number);
    return number * unit.factor;
}

// True when a value lies beyond an end of the scale by more than half a step, so that its
// nearest code is that end only because the value does not fit.
bool BeyondScale(Scale scale, double value, int code) {
    const CodeRange codes = ScaleCodes(scale);
    if (code != codes.lowest && code != codes.highest) return false;
    const double tolerance = PrintTolerance(scale, code);
    if (!std::isfinite(tolerance)) return false;
    return std::fabs(value - valueOf(scale, code)) > tolerance;
}

}  // namespace

std::string UnitsOfScale(Scale scale) {
    std::string text;
    const std::span<const Unit> units = UnitsOf(scale);
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (i > 0) text += (i + 1 == units.size()) ? " or " : ", ";
        text += units[i].suffix;
    }
    return text;
}

ValueParse ParseParamValue(std::string_view text, Scale scale) {
    if (text.empty()) return Error("the value is empty");
    const auto [numberText, unitText] = SplitUnit(text);
    if (unitText.empty()) {
        const std::optional<long long> code = ParseWhole(text);
        if (!code) {
            if (ParseDecimal(text) && scale != Scale::None) {
                return Error(std::string(text) +
                             " is not a whole code; give a value with a "
                             "unit (" +
                             UnitsOfScale(scale) + "), e.g. " + std::string(text) +
                             PrintedUnit(scale)->suffix);
            }
            return Error(std::string(text) + " is not a code (a whole number)");
        }
        ValueParse parse;
        parse.code = code;
        return parse;
    }
    if (numberText.empty()) return Error(std::string(text) + " is not a value");
    const std::span<const Unit> units = UnitsOf(scale);
    if (units.empty()) {
        return Error(std::string(text) + ": this parameter takes a plain code, without a unit");
    }
    for (const Unit& unit : units) {
        if (unitText.size() != std::char_traits<char>::length(unit.suffix) ||
            !EndsWithNoCase(unitText, unit.suffix)) {
            continue;
        }
        const std::optional<double> number = ParseDecimal(numberText);
        if (!number) return Error(std::string(text) + " is not a number followed by a unit");
        ValueParse parse;
        parse.fromUnits = true;
        if (unit.kind == UnitKind::Feet || unit.kind == UnitKind::Metres) {
            // A distance becomes samples only at the channel's temperature, when it is applied.
            parse.distance = DelayDistance{
                unit.kind == UnitKind::Feet ? DistanceUnit::Feet : DistanceUnit::Metres, *number};
            return parse;
        }
        const double value = ScaleValueOf(unit, *number);
        parse.code = nearestCode(scale, value);
        parse.beyondScale = BeyondScale(scale, value, static_cast<int>(*parse.code));
        return parse;
    }
    return Error(std::string(text) + ": the unit must be " + UnitsOfScale(scale));
}

ValueParse ParseValueInPrintedUnit(double number, Scale scale) {
    if (!std::isfinite(number)) return Error("the value is not a finite number");
    const Unit* unit = PrintedUnit(scale);
    if (unit == nullptr) {
        if (number != std::floor(number) || std::fabs(number) > 1e9) {
            return Error("this parameter takes a whole code");
        }
        ValueParse parse;
        parse.code = static_cast<long long>(number);
        return parse;
    }
    const double value = ScaleValueOf(*unit, number);
    ValueParse parse;
    parse.fromUnits = true;
    parse.code = nearestCode(scale, value);
    parse.beyondScale = BeyondScale(scale, value, static_cast<int>(*parse.code));
    return parse;
}

double ValueInPrintedUnit(Scale scale, int code) {
    const Unit* unit = PrintedUnit(scale);
    if (unit == nullptr) return code;
    return valueOf(scale, code) / unit->factor;
}

std::string PrintedUnitOfScale(Scale scale) {
    const Unit* unit = PrintedUnit(scale);
    return unit == nullptr ? std::string() : std::string(unit->suffix);
}

std::string FormatParamValue(Scale scale, int code) {
    const Unit* unit = PrintedUnit(scale);
    if (unit == nullptr) return std::to_string(code);
    const double value = valueOf(scale, code) / unit->factor;
    const double tolerance = PrintTolerance(scale, code) / unit->factor;
    const DotDecimalScope dot;
    for (int decimals = 0; decimals <= 6; ++decimals) {
        char number[64];
        std::snprintf(number, sizeof number, "%.*f", decimals, value);
        if (!(std::fabs(std::strtod(number, nullptr) - value) < tolerance)) continue;
        const std::string candidate = std::string(number) + unit->suffix;
        const ValueParse back = ParseParamValue(candidate, scale);
        if (back.code && *back.code == code) return candidate;
    }
    return std::to_string(code);
}

}  // namespace arvestra
