#include "ui/controls/MeterGeometry.h"

#include <algorithm>
#include <cstdint>

namespace arvestra {

namespace {

// Writes the ink of column x when it lies inside the bar; groups may run past the bar's end.
void PutColumn(MeterLayout& layout, int x, MeterInk ink) {
    if (x < layout.inner.left || x >= layout.inner.right) return;
    layout.columns[static_cast<std::size_t>(x - layout.inner.left)] = ink;
}

// One segment at x: the coloured columns, then the black gap. Returns the next group's x.
int PutGroup(MeterLayout& layout, int x, MeterInk ink) {
    for (int i = 0; i < kMeterSegmentWidth; ++i) PutColumn(layout, x + i, ink);
    PutColumn(layout, x + kMeterSegmentWidth, MeterInk::Black);
    return x + kMeterSegmentWidth + 1;
}

}  // namespace

MeterInk MeterLitInk(int zone) {
    return static_cast<MeterInk>(static_cast<int>(MeterInk::Lit1) + std::clamp(zone, 0, 2));
}

MeterInk MeterUnlitInk(int zone) {
    return static_cast<MeterInk>(static_cast<int>(MeterInk::Unlit1) + std::clamp(zone, 0, 2));
}

int MeterLitEnd(const MeterInput& input) {
    const int left = 1;
    const int barWidth = std::max(0, input.width - 2);
    const std::int64_t span = std::int64_t{input.maximum} - input.minimum;
    if (span <= 0) return left;
    const std::int64_t offset =
        std::clamp<std::int64_t>(std::int64_t{input.position} - input.minimum, 0, span);
    return left + static_cast<int>(offset * barWidth / span);
}

MeterLayout ComputeMeterLayout(const MeterInput& input) {
    MeterLayout layout;
    layout.inner = PixelRect{0, 0, input.width, input.height}.Shrunk(1);
    if (layout.inner.IsEmpty()) {
        layout.inner = {};
        return layout;
    }
    const int left = layout.inner.left;
    const int right = layout.inner.right;
    const int barWidth = right - left;
    layout.columns.assign(static_cast<std::size_t>(barWidth), MeterInk::Black);
    layout.litEnd = MeterLitEnd(input);

    int x = left;
    MeterInk lastInk = MeterUnlitInk(0);
    for (int zone = 0; zone < kMeterZoneCount; ++zone) {
        const int zoneEnd = left + (kMeterZoneLimits[zone] * barWidth + 50) / 100;
        layout.zoneEnds[zone] = zoneEnd;
        while (x < layout.litEnd && x < zoneEnd) {
            lastInk = MeterLitInk(zone);
            x = PutGroup(layout, x, lastInk);
        }
        while (x < zoneEnd) {
            lastInk = MeterUnlitInk(zone);
            x = PutGroup(layout, x, lastInk);
        }
        if (x > right - 1 || zone == kMeterZoneCount - 1) {
            // Close the bar the same way whatever the group pattern left at its end.
            PutColumn(layout, right - 1, MeterInk::Black);
            PutColumn(layout, right - 2, lastInk);
            for (int z = zone + 1; z < kMeterZoneCount; ++z) layout.zoneEnds[z] = zoneEnd;
            break;
        }
    }
    return layout;
}

std::vector<MeterRun> MeterRuns(const MeterLayout& layout) {
    std::vector<MeterRun> runs;
    const int left = layout.inner.left;
    for (std::size_t i = 0; i < layout.columns.size(); ++i) {
        const int x = left + static_cast<int>(i);
        if (!runs.empty() && runs.back().ink == layout.columns[i]) {
            runs.back().pastLast = x + 1;
        } else {
            runs.push_back({x, x + 1, layout.columns[i]});
        }
    }
    return runs;
}

ColumnSpan MeterChangedColumns(const MeterLayout& before, const MeterLayout& after) {
    if (before.inner != after.inner || before.columns.size() != after.columns.size()) {
        const PixelRect& inner = after.inner;
        return {inner.left, inner.right};
    }
    const auto& a = before.columns;
    const auto& b = after.columns;
    const auto firstDiff = std::mismatch(a.begin(), a.end(), b.begin()).first;
    if (firstDiff == a.end()) return {};
    const auto lastDiff = std::mismatch(a.rbegin(), a.rend(), b.rbegin()).first;
    const int left = after.inner.left;
    return {left + static_cast<int>(firstDiff - a.begin()),
            left + static_cast<int>(a.rend() - lastDiff)};
}

}  // namespace arvestra
