// Writing and reading a channel's EQ codes as a whole (an import, a fit), through the block
// operations of the edit buffer, so Master links, limits and live sending apply as to any other
// edit.
#pragma once

#include "document/EditBuffer.h"
#include "tune/EqCodes.h"
#include "tune/GraphicFit.h"
#include "tune/ParametricFit.h"

namespace arvestra {

// The equaliser types a channel's EQ block can take.
enum class EqKind { Graphic = 0, Parametric = 1 };

// The channel's EQ type.
EqKind ReadEqKind(const EditBuffer& edits, int channel);
// The codes of a channel's 10 parametric bands.
ParametricCodes ReadParametricCodes(const EditBuffer& edits, int channel);
// The 31 graphic gain codes of a channel.
GraphicGainCodes ReadGraphicGains(const EditBuffer& edits, int channel);

// Sets a channel's EQ type.
void ApplyEqKind(EditBuffer& edits, int channel, EqKind kind);
// Sets every code of a channel's 10 parametric bands; only changed codes are written.
void ApplyParametricCodes(EditBuffer& edits, int channel, const ParametricCodes& bands);
// Sets a channel's 31 graphic gain codes; only changed codes are written.
void ApplyGraphicGains(EditBuffer& edits, int channel, const GraphicGainCodes& gains);

// Sets the first `count` bands of a channel to the matched bands of a filter import and the
// others flat (0 dB, not bypassed, their frequency and bandwidth kept), and makes the
// channel's EQ parametric. True when the EQ type had to change.
bool ApplyImportedBands(EditBuffer& edits, int channel, const ParametricCodes& matched, int count);

// A fit chosen and applied to a channel: what was fitted and how close it came.
struct AppliedFit {
    EqKind kind = EqKind::Graphic;
    bool kindChanged = false;  // the channel's EQ type was switched to `kind`
    ResponseError before;
    ResponseError after;
    GraphicGainCodes gains{};  // a graphic fit
    ParametricCodes bands{};   // a parametric fit
};

// Fits a channel's graphic (Q as set) or parametric EQ to a problem and applies the codes,
// switching the EQ type to `kind` first when needed.
AppliedFit FitAndApply(EditBuffer& edits, int channel, EqKind kind, const FitProblem& problem);

}  // namespace arvestra
