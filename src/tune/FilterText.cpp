#include "tune/FilterText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "model/Scales.h"
#include "tune/BandMatcher.h"
#include "tune/TextLines.h"

namespace arvestra {

namespace {

constexpr double kLowestHz = 20.0;
constexpr double kHighestHz = 20000.0;

std::vector<std::string_view> SplitWords(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

bool SameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

// The names measurement programs give the filter types the bands cannot take.
std::string TypeName(std::string_view type) {
    struct Name {
        std::string_view code;
        std::string_view name;
    };
    static constexpr Name kNames[] = {
        {"LS", "low shelf"}, {"LSC", "low shelf"}, {"HS", "high shelf"}, {"HSC", "high shelf"},
        {"LP", "low-pass"},  {"LPQ", "low-pass"},  {"HP", "high-pass"},  {"HPQ", "high-pass"},
        {"BP", "band-pass"}, {"NO", "notch"},      {"AP", "all-pass"},   {"Modal", "modal"},
    };
    for (const Name& n : kNames) {
        if (SameWord(type, n.code)) return std::string(n.name) + " (" + std::string(type) + ")";
    }
    return "\"" + std::string(type) + "\"";
}

struct LineParse {
    std::optional<PeakingFilter> filter;
    std::optional<std::string> problem;
    std::optional<std::string> note;
};

// The number after a keyword (Fc, Gain, Q) and whether the unit after it is kHz.
struct KeyedNumber {
    bool present = false;
    std::optional<double> value;
    std::string_view spelled;
};

KeyedNumber FindKeyed(const std::vector<std::string_view>& words, std::string_view key) {
    KeyedNumber result;
    for (std::size_t i = 0; i + 1 < words.size(); ++i) {
        if (!SameWord(words[i], key)) continue;
        result.present = true;
        result.spelled = words[i + 1];
        result.value = ParseNumberField(words[i + 1]);
        if (result.value && i + 2 < words.size() && SameWord(words[i + 2], "kHz")) {
            *result.value *= 1000.0;
        }
        return result;
    }
    return result;
}

// Q of a bandwidth given in octaves ("BW Oct 1.0").
std::optional<double> FindOctaveBandwidthQ(const std::vector<std::string_view>& words) {
    for (std::size_t i = 0; i + 2 < words.size(); ++i) {
        if (!SameWord(words[i], "BW") || !SameWord(words[i + 1], "Oct")) continue;
        const std::optional<double> octaves = ParseNumberField(words[i + 2]);
        if (!octaves || !std::isfinite(*octaves) || *octaves <= 0.0) return std::nullopt;
        const double ratio = std::pow(2.0, *octaves);
        return std::sqrt(ratio) / (ratio - 1.0);
    }
    return std::nullopt;
}

std::optional<std::string> CheckNumber(const KeyedNumber& number, std::string_view key) {
    if (!number.present) return std::string(key) + " is missing";
    if (!number.value) {
        return std::string(key) + " \"" + std::string(number.spelled) + "\" is not a number";
    }
    if (!std::isfinite(*number.value)) return std::string(key) + " is not a finite number";
    return std::nullopt;
}

LineParse ParsePeaking(const std::vector<std::string_view>& words, int line) {
    const KeyedNumber fc = FindKeyed(words, "Fc");
    const KeyedNumber gain = FindKeyed(words, "Gain");
    KeyedNumber q = FindKeyed(words, "Q");
    if (!q.present) {
        if (const std::optional<double> fromOctaves = FindOctaveBandwidthQ(words)) {
            q = {true, fromOctaves, {}};
        }
    }
    for (const auto& [number, key] : {std::pair{fc, "Fc"}, {gain, "Gain"}, {q, "Q"}}) {
        if (auto problem = CheckNumber(number, key)) return {{}, *problem + "; not imported", {}};
    }
    if (*fc.value <= 0.0) return {{}, "Fc must be above 0 Hz; not imported", {}};
    if (*q.value <= 0.0) return {{}, "Q must be above 0; not imported", {}};
    PeakingFilter filter{line, *fc.value, *gain.value, *q.value};
    return {filter, {}, {}};
}

LineParse ParseFilterLine(std::string_view afterColon, int line) {
    const std::vector<std::string_view> words = SplitWords(afterColon);
    if (words.empty()) return {{}, "no filter after \"Filter\"; not imported", {}};
    std::size_t next = 0;
    bool on = true;
    if (SameWord(words[0], "ON") || SameWord(words[0], "OFF")) {
        on = SameWord(words[0], "ON");
        next = 1;
    }
    if (next >= words.size() || SameWord(words[next], "None")) return {{}, {}, {}};
    const std::string_view type = words[next];
    if (!on) return {{}, {}, "switched off; skipped"};
    if (!SameWord(type, "PK") && !SameWord(type, "PEQ")) {
        return {{},
                TypeName(type) + " filters cannot be set on the parametric bands; not imported",
                {}};
    }
    return ParsePeaking(words, line);
}

// Limits a filter to the bands' frequencies and gains; returns what it changed.
std::optional<std::string> LimitToBands(PeakingFilter& filter) {
    std::string said;
    const double lowestGain = valueOf(Scale::ParametricGain, 0);
    const double highestGain = valueOf(Scale::ParametricGain, 121);
    if (filter.frequencyHz < kLowestHz || filter.frequencyHz > kHighestHz) {
        const double limited = std::clamp(filter.frequencyHz, kLowestHz, kHighestHz);
        said = "Fc " + FormatNumber(filter.frequencyHz, 1) + " Hz lies beyond the bands' 20 Hz " +
               "to 20 kHz: imported at " + FormatNumber(limited, 0) + " Hz";
        filter.frequencyHz = limited;
    }
    if (filter.gainDb < lowestGain || filter.gainDb > highestGain) {
        const double limited = std::clamp(filter.gainDb, lowestGain, highestGain);
        if (!said.empty()) said += "; ";
        said += "Gain " + FormatNumber(filter.gainDb, 1) + " dB lies beyond the bands' " +
                FormatNumber(lowestGain, 1) + " to +" + FormatNumber(highestGain, 1) +
                " dB: imported as " + FormatNumber(limited, 1) + " dB";
        filter.gainDb = limited;
    }
    if (said.empty()) return std::nullopt;
    return said;
}

}  // namespace

FilterList ParseFilterList(std::string_view text) {
    FilterList list;
    bool sawFilterLine = false;
    int lineNumber = 0;
    for (std::string_view raw : SplitLines(text)) {
        ++lineNumber;
        const std::string_view line = TrimSpaces(raw);
        if (StartsWithNoCase(line, "Preamp:")) {
            list.notes.push_back(
                {lineNumber,
                 "the preamp is not part of the parametric EQ; set the output level "
                 "instead if needed"});
            continue;
        }
        if (!StartsWithNoCase(line, "Filter")) continue;
        const std::size_t colon = line.find(':');
        // "Filter Settings file" and other header lines have no colon after a filter number.
        if (colon == std::string_view::npos) continue;
        const std::string_view label = TrimSpaces(line.substr(6, colon - 6));
        if (!label.empty() && !ParseNumberField(label)) continue;
        sawFilterLine = true;
        LineParse parsed = ParseFilterLine(line.substr(colon + 1), lineNumber);
        if (parsed.problem) list.problems.push_back({lineNumber, *parsed.problem});
        if (parsed.note) list.notes.push_back({lineNumber, *parsed.note});
        if (!parsed.filter) continue;
        if (static_cast<int>(list.filters.size()) >= kParametricBandCount) {
            list.problems.push_back(
                {lineNumber, "the channel has 10 parametric bands, all taken; not imported"});
            continue;
        }
        if (auto limited = LimitToBands(*parsed.filter)) {
            list.problems.push_back({lineNumber, *limited});
        }
        list.filters.push_back(*parsed.filter);
    }
    if (!sawFilterLine) {
        list.error =
            "no filter lines found (expected lines such as \"Filter  1: ON  PK  Fc  62 "
            "Hz  Gain  -6.0 dB  Q  6.700\")";
    }
    return list;
}

std::string FormatFilterList(const ParametricCodes& bands, bool eqBypass, std::string_view title) {
    std::string text = "Filter Settings file\n\n";
    text += "Arvestra parametric EQ: " + std::string(title) + "\n";
    text += "Notes: each band as the peaking filter whose response comes closest to it\n";
    text += "Equaliser: Generic\n\n";
    for (int i = 0; i < kParametricBandCount; ++i) {
        const ParametricBandCodes& band = bands[static_cast<std::size_t>(i)];
        char line[128];
        if (band.gain == ParametricBandCodes::kFlatGain && !band.bypass) {
            std::snprintf(line, sizeof line, "Filter %2d: ON  None\n", i + 1);
            text += line;
            continue;
        }
        const PeakingEquivalent filter = PeakingEquivalentOf(band);
        const char* state = eqBypass || band.bypass ? "OFF" : "ON ";
        const std::string hz = FormatNumber(filter.frequencyHz, 1);
        const std::string gain = FormatNumber(filter.gainDb, 1);
        const std::string q = FormatNumber(filter.q, 3);
        std::snprintf(line, sizeof line, "Filter %2d: %s PK       Fc %8s Hz  Gain %5s dB  Q %6s\n",
                      i + 1, state, hz.c_str(), gain.c_str(), q.c_str());
        text += line;
    }
    return text;
}

std::string FormatRemarks(const std::vector<FilterLineRemark>& remarks) {
    std::string text;
    for (const FilterLineRemark& remark : remarks) {
        text += "line " + std::to_string(remark.line) + ": " + remark.text + "\n";
    }
    return text;
}

}  // namespace arvestra
