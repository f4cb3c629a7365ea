#include "ui/controls/ButtonGeometry.h"

namespace arvestra {

namespace {

void AddRaisedBevel(PaintRuns& runs, const PixelRect& r) {
    AddRun(runs, ColumnRun(r.left, r.top, r.bottom - 2), Ink::Light);
    AddRun(runs, RowRun(r.top, r.left, r.right - 2), Ink::Light);
    AddRun(runs, RowRun(r.bottom - 2, r.left + 1, r.right - 2), Ink::Dark);
    AddRun(runs, ColumnRun(r.right - 2, r.top + 1, r.bottom - 2), Ink::Dark);
}

void AddPressedBevel(PaintRuns& runs, const PixelRect& r) {
    AddRun(runs, RowRun(r.bottom - 1, r.left + 1, r.right - 1), Ink::Light);
    AddRun(runs, ColumnRun(r.right - 1, r.top + 1, r.bottom - 1), Ink::Light);
    AddRun(runs, ColumnRun(r.left + 1, r.top + 1, r.bottom - 2), Ink::Dark);
    AddRun(runs, RowRun(r.top + 1, r.left + 1, r.right - 2), Ink::Dark);
}

}  // namespace

ButtonLook ComputeButtonLook(const ButtonLookInput& input) {
    ButtonLook look;
    const PixelRect r{0, 0, input.width, input.height};
    if (r.IsEmpty()) return look;

    AddRun(look.runs, r, input.enabled ? Ink::Face : Ink::DisabledFace);
    AddOutline(look.runs, r, Ink::Black);
    if (input.pressed) {
        AddPressedBevel(look.runs, r);
    } else {
        AddRaisedBevel(look.runs, r);
    }
    if (input.focused) {
        const PixelRect focus = r.Shrunk(3);
        if (!focus.IsEmpty()) look.focusRect = focus;
    }
    ClipRuns(look.runs, r);
    look.textRect = input.pressed ? r.Moved(1, 1) : r;
    const PixelRect clip = r.Shrunk(2);
    look.textClip = clip.IsEmpty() ? PixelRect{} : clip;
    return look;
}

std::vector<PixelPoint> FocusDots(const PixelRect& rect) {
    std::vector<PixelPoint> dots;
    if (rect.IsEmpty()) return dots;
    const auto onPattern = [&](int x, int y) { return (x - rect.left + y - rect.top) % 2 == 0; };
    const int lastX = rect.right - 1;
    const int lastY = rect.bottom - 1;
    for (int x = rect.left; x <= lastX; ++x) {
        if (onPattern(x, rect.top)) dots.push_back({x, rect.top});
        if (lastY != rect.top && onPattern(x, lastY)) dots.push_back({x, lastY});
    }
    for (int y = rect.top + 1; y < lastY; ++y) {
        if (onPattern(rect.left, y)) dots.push_back({rect.left, y});
        if (lastX != rect.left && onPattern(lastX, y)) dots.push_back({lastX, y});
    }
    return dots;
}

}  // namespace arvestra
