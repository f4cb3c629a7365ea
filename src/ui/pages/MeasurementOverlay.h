#pragma once

#include <array>
#include <string>

#include "tune/Measurement.h"
#include "tune/Normalisation.h"

namespace arvestra {

// A measured response shown under one output's EQ curve: the file it came from, how it is
// brought to 0 dB, and the normalised levels. Kept per channel in the editor's settings (the
// file's path and the normalisation), not in the Location File.
struct MeasurementOverlay {
    std::string path;  // empty: no measurement shown
    Normalisation normalisation;
    Measurement raw;
    Measurement shown;  // raw, normalised

    bool Loaded() const { return !shown.Empty(); }
};

// Reads path and normalises it; error is set (and the overlay empty) when it cannot be shown.
MeasurementOverlay LoadMeasurementOverlay(const std::string& path,
                                          const Normalisation& normalisation, std::string& error);

// The overlays of both channels as the settings last kept them (files that can no longer be
// read are left out), and keeping one channel's overlay (an empty one removes it).
std::array<MeasurementOverlay, 2> RestoreMeasurementOverlays();
void KeepMeasurementOverlay(int channel, const MeasurementOverlay& overlay);

}  // namespace arvestra
