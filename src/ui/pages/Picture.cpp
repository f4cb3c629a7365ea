#include "ui/pages/Picture.h"

namespace arvestra {

const PictureText* Picture::FindText(const std::string& text) const {
    for (const PictureText& caption : texts) {
        if (caption.text == text) return &caption;
    }
    return nullptr;
}

void AddSunkenFrame(PaintRuns& runs, const PixelRect& rect) {
    const PixelRect outer = rect.Shrunk(-1);
    AddRun(runs, RowRun(outer.top, outer.left, outer.right - 1), Ink::Dark);
    AddRun(runs, ColumnRun(outer.left, outer.top, outer.bottom - 1), Ink::Dark);
    AddRun(runs, RowRun(outer.bottom - 1, outer.left, outer.right - 1), Ink::White);
    AddRun(runs, ColumnRun(outer.right - 1, outer.top, outer.bottom - 1), Ink::White);
}

void AddRaisedBevel(PaintRuns& runs, const PixelRect& rect) {
    if (rect.IsEmpty()) return;
    AddRun(runs, RowRun(rect.top, rect.left, rect.right - 1), Ink::White);
    AddRun(runs, ColumnRun(rect.left, rect.top, rect.bottom - 1), Ink::White);
    AddRun(runs, RowRun(rect.bottom - 1, rect.left + 1, rect.right - 1), Ink::Dark);
    AddRun(runs, ColumnRun(rect.right - 1, rect.top + 1, rect.bottom - 1), Ink::Dark);
}

void AddEtchedFrame(PaintRuns& runs, const PixelRect& rect) {
    if (rect.Width() < 3 || rect.Height() < 3) return;
    AddOutline(runs, {rect.left, rect.top, rect.right - 1, rect.bottom - 1}, Ink::Dark);
    AddOutline(runs, {rect.left + 1, rect.top + 1, rect.right, rect.bottom}, Ink::White);
}

}  // namespace arvestra
