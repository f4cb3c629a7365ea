#include "document/EqCodeEdits.h"

#include "document/EditPath.h"

namespace arvestra {

namespace {

// These edits reach the document through the one edit path; a code already held is left alone
// (on a linked equaliser, the other channel keeps its own).
void ApplyEqCode(CQ7310Doc& doc, ParamField field, int channel, int index, int code) {
    if (doc.Edits().Get(field, channel, index) == code) return;
    ApplyParamEdit(doc.Edits(), FieldEdit(field, channel, index, code));
}

}  // namespace

EqKind ReadEqKind(const CQ7310Doc& doc, int channel) {
    return doc.Edits().Get(ParamField::EqType, channel) == 1 ? EqKind::Parametric : EqKind::Graphic;
}

ParametricCodes ReadParametricCodes(CQ7310Doc& doc, int channel) {
    return ReadParametricCodes(
        std::span<const std::uint8_t, kPresetImageSize>(doc.Edits().Data(), kPresetImageSize),
        channel);
}

GraphicGainCodes ReadGraphicGains(const CQ7310Doc& doc, int channel) {
    GraphicGainCodes gains{};
    for (int i = 0; i < kGraphicBandCount; ++i) {
        gains[static_cast<std::size_t>(i)] = doc.Edits().Get(ParamField::EqGraphicGain, channel, i);
    }
    return gains;
}

void ApplyEqKind(CQ7310Doc& doc, int channel, EqKind kind) {
    const EditScope scope(doc.Edits(), EditReason::Fit);
    ApplyEqCode(doc, ParamField::EqType, channel, 0, static_cast<int>(kind));
}

void ApplyParametricCodes(CQ7310Doc& doc, int channel, const ParametricCodes& bands) {
    const EditScope scope(doc.Edits(), EditReason::Fit);
    for (int i = 0; i < kParametricBandCount; ++i) {
        const ParametricBandCodes& band = bands[static_cast<std::size_t>(i)];
        ApplyEqCode(doc, ParamField::EqParamFrequency, channel, i, band.frequency);
        ApplyEqCode(doc, ParamField::EqParamBandwidth, channel, i, band.bandwidth);
        ApplyEqCode(doc, ParamField::EqParamGain, channel, i, band.gain);
        ApplyEqCode(doc, ParamField::EqParamBypass, channel, i, band.bypass ? 1 : 0);
    }
}

void ApplyGraphicGains(CQ7310Doc& doc, int channel, const GraphicGainCodes& gains) {
    const EditScope scope(doc.Edits(), EditReason::Fit);
    for (int i = 0; i < kGraphicBandCount; ++i) {
        ApplyEqCode(doc, ParamField::EqGraphicGain, channel, i, gains[static_cast<std::size_t>(i)]);
    }
}

bool ApplyImportedBands(CQ7310Doc& doc, int channel, const ParametricCodes& matched, int count) {
    const EditScope scope(doc.Edits(), EditReason::Fit);
    const bool kindChanged = ReadEqKind(doc, channel) != EqKind::Parametric;
    if (kindChanged) ApplyEqKind(doc, channel, EqKind::Parametric);
    ParametricCodes bands = ReadParametricCodes(doc, channel);
    for (int i = 0; i < kParametricBandCount; ++i) {
        ParametricBandCodes& band = bands[static_cast<std::size_t>(i)];
        if (i < count) {
            band = matched[static_cast<std::size_t>(i)];
        } else {
            band.gain = ParametricBandCodes::kFlatGain;
            band.bypass = false;
        }
    }
    ApplyParametricCodes(doc, channel, bands);
    return kindChanged;
}

AppliedFit FitAndApply(CQ7310Doc& doc, int channel, EqKind kind, const FitProblem& problem) {
    const EditScope scope(doc.Edits(), EditReason::Fit);
    AppliedFit applied;
    applied.kind = kind;
    applied.kindChanged = ReadEqKind(doc, channel) != kind;
    if (applied.kindChanged) ApplyEqKind(doc, channel, kind);
    if (kind == EqKind::Graphic) {
        const GraphicFitResult fit =
            FitGraphic(problem, doc.Edits().Get(ParamField::EqGraphicQ, channel));
        applied.before = fit.before;
        applied.after = fit.after;
        applied.gains = fit.gains;
        ApplyGraphicGains(doc, channel, fit.gains);
    } else {
        const ParametricFitResult fit = FitParametric(problem);
        applied.before = fit.before;
        applied.after = fit.after;
        applied.bands = fit.bands;
        ApplyParametricCodes(doc, channel, fit.bands);
    }
    return applied;
}

}  // namespace arvestra
