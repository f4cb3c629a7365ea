#include "ui/controls/SliderGeometry.h"

#include <algorithm>
#include <cstdint>

namespace arvestra {

namespace {

constexpr int kChannelInset = 6;      // channel starts this far from each end
constexpr int kChannelHalfWidth = 2;  // channel is 4 pixels across

// Range span as a non-negative 64-bit number, so that extreme int ranges cannot overflow.
std::int64_t SpanOf(const SliderRange& range) {
    const std::int64_t span = std::int64_t{range.maximum} - range.minimum;
    return span > 0 ? span : 0;
}

// Rounded a * b / c for non-negative a, b and positive c.
std::int64_t ScaleRounded(std::int64_t a, std::int64_t b, std::int64_t c) {
    return (a * b + c / 2) / c;
}

void AddBody(PaintRuns& runs, int width, int height) {
    const PixelRect body{0, 0, width, height};
    AddRun(runs, body, Ink::Panel);
    AddOutline(runs, body, Ink::Dark);
    AddRun(runs, ColumnRun(width - 1, 0, height - 1), Ink::White);
    AddRun(runs, RowRun(height - 1, 0, width - 1), Ink::White);
}

void AddChannel(PaintRuns& runs, const PixelRect& c, SliderAxis axis, bool focused) {
    if (c.IsEmpty()) return;
    AddRun(runs, c, focused ? Ink::Focus : Ink::Black);
    AddOutline(runs, c, Ink::White);
    AddRun(runs, ColumnRun(c.left, c.top, c.bottom - 2), Ink::Dark);
    AddRun(runs, RowRun(c.top, c.left, c.right - 2), Ink::Dark);
    if (focused) return;
    // A light line inside the slot gives the unfocused groove its depth.
    if (axis == SliderAxis::Horizontal) {
        AddRun(runs, RowRun(c.top + 2, c.left + 1, c.right - 2), Ink::Light);
    } else {
        AddRun(runs, ColumnRun(c.left + 2, c.top + 1, c.bottom - 2), Ink::Light);
    }
}

void AddThumb(PaintRuns& runs, const PixelRect& t, bool enabled) {
    if (t.IsEmpty()) return;
    AddRun(runs, t, enabled ? Ink::Panel : Ink::DisabledFace);
    AddOutline(runs, t, Ink::Black);
    AddRun(runs, ColumnRun(t.left, t.top, t.bottom - 2), Ink::White);
    AddRun(runs, RowRun(t.top, t.left, t.right - 2), Ink::White);
    AddRun(runs, ColumnRun(t.left + 1, t.top + 1, t.bottom - 3), Ink::Light);
    AddRun(runs, RowRun(t.top + 1, t.left + 1, t.right - 3), Ink::Light);
    AddRun(runs, RowRun(t.bottom - 2, t.left + 1, t.right - 2), Ink::Dark);
    AddRun(runs, ColumnRun(t.right - 2, t.top + 1, t.bottom - 2), Ink::Dark);
}

}  // namespace

SliderAxis SliderAxisFor(int width, int height) {
    return height > width ? SliderAxis::Vertical : SliderAxis::Horizontal;
}

SliderTrack ComputeSliderTrack(int width, int height) {
    SliderTrack track;
    track.width = std::max(width, 0);
    track.height = std::max(height, 0);
    track.axis = SliderAxisFor(track.width, track.height);
    const bool horizontal = track.axis == SliderAxis::Horizontal;
    const int along = horizontal ? track.width : track.height;
    const int across = horizontal ? track.height : track.width;
    // Keep one pixel of the body outline free around the thumb when there is room for it.
    track.crossStart = across >= 3 ? 1 : 0;
    track.thumbSize = across - 2 * track.crossStart;
    track.travelStart = along >= track.thumbSize + 2 ? 1 : 0;
    track.travelLength = std::max(0, along - 2 * track.travelStart - track.thumbSize);
    return track;
}

int ThumbStartForPosition(const SliderTrack& track, const SliderRange& range, int position) {
    const std::int64_t span = SpanOf(range);
    if (span == 0 || track.travelLength == 0) return track.travelStart;
    const std::int64_t clamped =
        std::clamp<std::int64_t>(position, range.minimum, std::int64_t{range.minimum} + span);
    std::int64_t offset = clamped - range.minimum;
    if (range.inverted) offset = span - offset;
    return track.travelStart + static_cast<int>(ScaleRounded(offset, track.travelLength, span));
}

int PositionForThumbStart(const SliderTrack& track, const SliderRange& range, int thumbStart) {
    const std::int64_t span = SpanOf(range);
    if (span == 0) return range.minimum;
    if (track.travelLength == 0) return range.inverted ? range.maximum : range.minimum;
    const std::int64_t pixels = std::clamp<std::int64_t>(
        std::int64_t{thumbStart} - track.travelStart, 0, track.travelLength);
    std::int64_t offset = ScaleRounded(pixels, span, track.travelLength);
    if (range.inverted) offset = span - offset;
    return static_cast<int>(range.minimum + offset);
}

PixelRect ThumbRectAt(const SliderTrack& track, int thumbStart) {
    if (track.thumbSize <= 0) return {};
    const int crossEnd = track.crossStart + track.thumbSize;
    const int alongEnd = thumbStart + track.thumbSize;
    if (track.axis == SliderAxis::Horizontal) {
        return {thumbStart, track.crossStart, alongEnd, crossEnd};
    }
    return {track.crossStart, thumbStart, crossEnd, alongEnd};
}

PixelRect ChannelRect(int width, int height) {
    PixelRect channel;
    if (SliderAxisFor(width, height) == SliderAxis::Horizontal) {
        const int centre = height / 2;
        channel = {kChannelInset, centre - kChannelHalfWidth, width - kChannelInset,
                   centre + kChannelHalfWidth};
    } else {
        const int centre = width / 2;
        channel = {centre - kChannelHalfWidth, kChannelInset, centre + kChannelHalfWidth,
                   height - kChannelInset};
    }
    // Clip to the client area; a slider too small for a slot has none.
    channel.left = std::max(channel.left, 0);
    channel.top = std::max(channel.top, 0);
    channel.right = std::min(channel.right, width);
    channel.bottom = std::min(channel.bottom, height);
    return channel.IsEmpty() ? PixelRect{} : channel;
}

int SideOfThumb(const SliderTrack& track, const PixelRect& thumb, int pointerAlong) {
    const bool horizontal = track.axis == SliderAxis::Horizontal;
    const int first = horizontal ? thumb.left : thumb.top;
    const int pastLast = horizontal ? thumb.right : thumb.bottom;
    if (pointerAlong < first) return -1;
    if (pointerAlong >= pastLast) return 1;
    return 0;
}

SliderLook ComputeSliderLook(const SliderLookInput& input) {
    SliderLook look;
    if (input.width <= 0 || input.height <= 0) return look;
    const SliderTrack track = ComputeSliderTrack(input.width, input.height);
    look.thumb = ThumbRectAt(track, ThumbStartForPosition(track, input.range, input.position));
    look.channel = ChannelRect(input.width, input.height);
    AddBody(look.runs, input.width, input.height);
    AddChannel(look.runs, look.channel, track.axis, input.focused);
    AddThumb(look.runs, look.thumb, input.enabled);
    ClipRuns(look.runs, {0, 0, input.width, input.height});
    return look;
}

}  // namespace arvestra
