#include "model/FilterResponse.h"

#include <algorithm>
#include <cmath>

#include "model/FilterDesign.h"
#include "model/Scales.h"

namespace arvestra {

namespace {

// The third-octave centres of the 31 graphic bands, 20 Hz to 20 kHz.
constexpr std::array<double, FilterResponse::kGraphicBands> kGraphicCentresHz = {
    20,  25,   31.5, 40,   50,   63,   80,   100,  125,  160,  200,  250,   315,   400,   500,  630,
    800, 1000, 1250, 1600, 2000, 2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000};

// A Q above this selects the narrow set of graphic band widths.
constexpr double kNarrowQThreshold = 4.0;
constexpr int kGroups = 4;  // graphic bands form four interleaved groups by band number mod 4

std::vector<double> FrequencyScaleHz() {
    const std::span<const double> table = ScaleTable(Scale::Frequency);
    return {table.begin(), table.end()};
}

}  // namespace

FilterResponse::FilterResponse(int extraPoints) : FilterResponse(FrequencyScaleHz(), extraPoints) {}

FilterResponse::FilterResponse(std::span<const double> frequencyScaleHz, int extraPoints)
    : frequencyScaleHz_(frequencyScaleHz.begin(), frequencyScaleHz.end()),
      grid_(frequencyScaleHz_, extraPoints) {
    ResizeStores();
    RequestFullRecompute();
}

double FilterResponse::GraphicBandCentreHz(int band) {
    return kGraphicCentresHz[static_cast<std::size_t>(std::clamp(band, 0, kGraphicBands - 1))];
}

double FilterResponse::GraphicWidthDivisor(int band, double gainDb, double q) {
    const bool narrow = q > kNarrowQThreshold;
    if (gainDb >= 0.0) return narrow ? 4.0 : 2.5;
    if (narrow) return 2.0;
    // The firmware widens the cuts of the two highest bands so they do not pile up at 20 kHz.
    if (band == kGraphicBands - 2) return 4.0 / 3.0;
    if (band == kGraphicBands - 1) return 5.0 / 3.0;
    return 1.25;
}

void FilterResponse::SetExtraPoints(int extraPoints) {
    grid_ = FrequencyGrid(frequencyScaleHz_, extraPoints);
    ResizeStores();
    RequestFullRecompute();
}

void FilterResponse::MarkDirty(int channel, CurveKind kind) {
    dirty_[CurveChannelIndex(channel)][CurveKindIndex(kind)] = true;
}

void FilterResponse::RequestFullRecompute() {
    for (auto& channel : dirty_) channel.fill(true);
    InvalidateBands();
    fullRecompute_ = true;
}

bool FilterResponse::IsDirty(int channel, CurveKind kind) const {
    return dirty_[CurveChannelIndex(channel)][CurveKindIndex(kind)];
}

bool FilterResponse::Update(const CurveSet& path, const ChannelSettings& settings) {
    bool recomputed = false;
    for (int channel = 0; channel < kCurveChannelCount; ++channel) {
        for (int k = 0; k < kCurveKindCount; ++k) {
            const auto kind = static_cast<CurveKind>(k);
            if (!path.Contains(channel, kind) || !dirty_[channel][k]) continue;
            RecomputeCurve(channel, kind, settings[static_cast<std::size_t>(channel)]);
            dirty_[channel][k] = false;
            recomputed = true;
        }
    }
    if (!recomputed && !fullRecompute_ && path == composedPath_) return false;
    Compose(path);
    composedPath_ = path;
    fullRecompute_ = false;
    return true;
}

std::span<const double> FilterResponse::Curve(int channel, CurveKind kind) const {
    return channels_[CurveChannelIndex(channel)].curves[CurveKindIndex(kind)];
}

const ComplexResponse& FilterResponse::GraphicBandResponse(int channel, int band) const {
    const auto index = static_cast<std::size_t>(std::clamp(band, 0, kGraphicBands - 1));
    return channels_[CurveChannelIndex(channel)].graphicBands[index].response;
}

const ComplexResponse& FilterResponse::ParametricBandResponse(int channel, int band) const {
    const auto index = static_cast<std::size_t>(std::clamp(band, 0, kParametricBands - 1));
    return channels_[CurveChannelIndex(channel)].parametricBands[index].response;
}

void FilterResponse::ResizeStores() {
    const auto size = static_cast<std::size_t>(grid_.Size());
    for (ChannelStore& store : channels_) {
        // A curve not yet computed is neutral (0 dB) rather than garbage.
        for (auto& curve : store.curves) curve.assign(size, 1.0);
    }
    accRe_.assign(size, 0.0);
    accIm_.assign(size, 0.0);
    groupRe_.assign(size, 0.0);
    groupIm_.assign(size, 0.0);
    product_.assign(size, 1.0);
    levelsDb_.assign(size, 0.0);
    InvalidateBands();
}

void FilterResponse::InvalidateBands() {
    for (ChannelStore& store : channels_) {
        for (BandStore& band : store.graphicBands) band.valid = false;
        for (BandStore& band : store.parametricBands) band.valid = false;
    }
}

void FilterResponse::RecomputeCurve(int channel, CurveKind kind,
                                    const ChannelFilterSettings& settings) {
    ChannelStore& store = channels_[static_cast<std::size_t>(channel)];
    switch (kind) {
        case CurveKind::LowPass: {
            const PassFilterSettings& lp = settings.lowPass;
            ComputePassCurve(store.curves[0], lp.slope == 1 ? FilterDesign::LowPass24(lp.cutoffHz)
                                                            : FilterDesign::LowPass12(lp.cutoffHz));
            break;
        }
        case CurveKind::HighPass: {
            const PassFilterSettings& hp = settings.highPass;
            ComputePassCurve(store.curves[1], hp.slope == 1
                                                  ? FilterDesign::HighPass24(hp.cutoffHz)
                                                  : FilterDesign::HighPass12(hp.cutoffHz));
            break;
        }
        case CurveKind::Graphic:
            ComputeGraphicCurve(store, settings.graphic);
            break;
        case CurveKind::Parametric:
            ComputeParametricCurve(store, settings.parametric);
            break;
    }
}

void FilterResponse::ComputePassCurve(std::vector<double>& curve, const FilterSection& section) {
    passScratch_.Evaluate(section, grid_);
    ++sectionsEvaluated_;
    const double* re = passScratch_.Re().data();
    const double* im = passScratch_.Im().data();
    for (std::size_t i = 0; i < curve.size(); ++i) curve[i] = re[i] * re[i] + im[i] * im[i];
}

// A band whose section is unchanged keeps its stored response, so editing one band evaluates
// only that band; a full recomputation invalidates every band first.
void FilterResponse::EvaluateBand(BandStore& band, const FilterSection& section) {
    if (band.valid && band.section == section) return;
    band.section = section;
    band.response.Evaluate(section, grid_);
    band.valid = true;
    ++sectionsEvaluated_;
}

void FilterResponse::ComputeGraphicCurve(ChannelStore& store, const GraphicEqSettings& settings) {
    for (int i = 0; i < kGraphicBands; ++i) {
        const double gainDb = settings.bypass ? 0.0 : settings.gainDb[static_cast<std::size_t>(i)];
        const double divisor = GraphicWidthDivisor(i, gainDb, settings.q);
        EvaluateBand(store.graphicBands[static_cast<std::size_t>(i)],
                     FilterDesign::GraphicBand(GraphicBandCentreHz(i), gainDb, divisor));
    }
    // Bands of one group act in parallel (1 plus their sum); the four groups act in cascade.
    const std::size_t size = accRe_.size();
    std::fill(accRe_.begin(), accRe_.end(), 1.0);
    std::fill(accIm_.begin(), accIm_.end(), 0.0);
    for (int group = 0; group < kGroups; ++group) {
        std::fill(groupRe_.begin(), groupRe_.end(), 1.0);
        std::fill(groupIm_.begin(), groupIm_.end(), 0.0);
        for (int band = group; band < kGraphicBands; band += kGroups) {
            const ComplexResponse& response =
                store.graphicBands[static_cast<std::size_t>(band)].response;
            const double* re = response.Re().data();
            const double* im = response.Im().data();
            for (std::size_t i = 0; i < size; ++i) {
                groupRe_[i] += re[i];
                groupIm_[i] += im[i];
            }
        }
        for (std::size_t i = 0; i < size; ++i) {
            const double re = accRe_[i] * groupRe_[i] - accIm_[i] * groupIm_[i];
            const double im = accRe_[i] * groupIm_[i] + accIm_[i] * groupRe_[i];
            accRe_[i] = re;
            accIm_[i] = im;
        }
    }
    std::vector<double>& curve = store.curves[CurveKindIndex(CurveKind::Graphic)];
    for (std::size_t i = 0; i < size; ++i) curve[i] = accRe_[i] * accRe_[i] + accIm_[i] * accIm_[i];
}

void FilterResponse::ComputeParametricCurve(ChannelStore& store,
                                            const ParametricEqSettings& settings) {
    for (int i = 0; i < kParametricBands; ++i) {
        const ParametricBandSettings& band = settings.bands[static_cast<std::size_t>(i)];
        const double gainDb = settings.bypass || band.bypass ? 0.0 : band.gainDb;
        EvaluateBand(store.parametricBands[static_cast<std::size_t>(i)],
                     FilterDesign::ParametricBand(band.frequencyHz, gainDb, band.bandwidth));
    }
    // The bands act in cascade: the product of their responses, band 0 first.
    const std::size_t size = accRe_.size();
    std::fill(accRe_.begin(), accRe_.end(), 1.0);
    std::fill(accIm_.begin(), accIm_.end(), 0.0);
    for (const BandStore& band : store.parametricBands) {
        const double* re = band.response.Re().data();
        const double* im = band.response.Im().data();
        for (std::size_t i = 0; i < size; ++i) {
            const double productRe = accRe_[i] * re[i] - accIm_[i] * im[i];
            const double productIm = accRe_[i] * im[i] + accIm_[i] * re[i];
            accRe_[i] = productRe;
            accIm_[i] = productIm;
        }
    }
    std::vector<double>& curve = store.curves[CurveKindIndex(CurveKind::Parametric)];
    for (std::size_t i = 0; i < size; ++i) curve[i] = accRe_[i] * accRe_[i] + accIm_[i] * accIm_[i];
}

void FilterResponse::Compose(const CurveSet& path) {
    std::fill(product_.begin(), product_.end(), 1.0);
    for (int channel = 0; channel < kCurveChannelCount; ++channel) {
        for (int k = 0; k < kCurveKindCount; ++k) {
            if (!path.Contains(channel, static_cast<CurveKind>(k))) continue;
            const std::vector<double>& curve =
                channels_[static_cast<std::size_t>(channel)].curves[static_cast<std::size_t>(k)];
            for (std::size_t i = 0; i < product_.size(); ++i) product_[i] *= curve[i];
        }
    }
    for (std::size_t i = 0; i < product_.size(); ++i) levelsDb_[i] = 10.0 * std::log10(product_[i]);
}

}  // namespace arvestra
