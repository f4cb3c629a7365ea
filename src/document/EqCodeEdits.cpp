#include "document/EqCodeEdits.h"

#include "document/EditPath.h"

namespace arvestra {

namespace {

// These edits reach the edit buffer through the one edit path; a code already held is left alone
// (on a linked equaliser, the other channel keeps its own).
void ApplyEqCode(EditBuffer& edits, ParamField field, int channel, int index, int code) {
    if (edits.Get(field, channel, index) == code) return;
    ApplyParamEdit(edits, FieldEdit(field, channel, index, code));
}

}  // namespace

EqKind ReadEqKind(const EditBuffer& edits, int channel) {
    return edits.Get(ParamField::EqType, channel) == 1 ? EqKind::Parametric : EqKind::Graphic;
}

ParametricCodes ReadParametricCodes(const EditBuffer& edits, int channel) {
    return ReadParametricCodes(
        std::span<const std::uint8_t, kPresetImageSize>(edits.Data(), kPresetImageSize), channel);
}

GraphicGainCodes ReadGraphicGains(const EditBuffer& edits, int channel) {
    GraphicGainCodes gains{};
    for (int i = 0; i < kGraphicBandCount; ++i) {
        gains[static_cast<std::size_t>(i)] = edits.Get(ParamField::EqGraphicGain, channel, i);
    }
    return gains;
}

void ApplyEqKind(EditBuffer& edits, int channel, EqKind kind) {
    const EditScope scope(edits, EditReason::Fit);
    ApplyEqCode(edits, ParamField::EqType, channel, 0, static_cast<int>(kind));
}

void ApplyParametricCodes(EditBuffer& edits, int channel, const ParametricCodes& bands) {
    const EditScope scope(edits, EditReason::Fit);
    for (int i = 0; i < kParametricBandCount; ++i) {
        const ParametricBandCodes& band = bands[static_cast<std::size_t>(i)];
        ApplyEqCode(edits, ParamField::EqParamFrequency, channel, i, band.frequency);
        ApplyEqCode(edits, ParamField::EqParamBandwidth, channel, i, band.bandwidth);
        ApplyEqCode(edits, ParamField::EqParamGain, channel, i, band.gain);
        ApplyEqCode(edits, ParamField::EqParamBypass, channel, i, band.bypass ? 1 : 0);
    }
}

void ApplyGraphicGains(EditBuffer& edits, int channel, const GraphicGainCodes& gains) {
    const EditScope scope(edits, EditReason::Fit);
    for (int i = 0; i < kGraphicBandCount; ++i) {
        ApplyEqCode(edits, ParamField::EqGraphicGain, channel, i,
                    gains[static_cast<std::size_t>(i)]);
    }
}

bool ApplyImportedBands(EditBuffer& edits, int channel, const ParametricCodes& matched, int count) {
    const EditScope scope(edits, EditReason::Fit);
    const bool kindChanged = ReadEqKind(edits, channel) != EqKind::Parametric;
    if (kindChanged) ApplyEqKind(edits, channel, EqKind::Parametric);
    ParametricCodes bands = ReadParametricCodes(edits, channel);
    for (int i = 0; i < kParametricBandCount; ++i) {
        ParametricBandCodes& band = bands[static_cast<std::size_t>(i)];
        if (i < count) {
            band = matched[static_cast<std::size_t>(i)];
        } else {
            band.gain = ParametricBandCodes::kFlatGain;
            band.bypass = false;
        }
    }
    ApplyParametricCodes(edits, channel, bands);
    return kindChanged;
}

AppliedFit FitAndApply(EditBuffer& edits, int channel, EqKind kind, const FitProblem& problem) {
    const EditScope scope(edits, EditReason::Fit);
    AppliedFit applied;
    applied.kind = kind;
    applied.kindChanged = ReadEqKind(edits, channel) != kind;
    if (applied.kindChanged) ApplyEqKind(edits, channel, kind);
    if (kind == EqKind::Graphic) {
        const GraphicFitResult fit =
            FitGraphic(problem, edits.Get(ParamField::EqGraphicQ, channel));
        applied.before = fit.before;
        applied.after = fit.after;
        applied.gains = fit.gains;
        ApplyGraphicGains(edits, channel, fit.gains);
    } else {
        const ParametricFitResult fit = FitParametric(problem);
        applied.before = fit.before;
        applied.after = fit.after;
        applied.bands = fit.bands;
        ApplyParametricCodes(edits, channel, fit.bands);
    }
    return applied;
}

}  // namespace arvestra
