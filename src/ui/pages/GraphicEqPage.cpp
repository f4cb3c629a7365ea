#include "ui/pages/GraphicEqPage.h"

#include <QMouseEvent>

#include <algorithm>

#include "document/PageDocument.h"
#include "model/FilterResponse.h"
#include "model/Scales.h"
#include "model/ValueFormat.h"
#include "ui/controls/ColorButton.h"
#include "ui/controls/PanelSlider.h"
#include "ui/pages/ToolTipControl.h"

namespace arvestra {

namespace {

constexpr int kFlatCode = 30;
constexpr int kTopCode = 60;
constexpr double kNarrowQ = 7.0;

std::size_t At(int band) {
    return static_cast<std::size_t>(std::clamp(band, 0, CGraphicEqPage::kBands - 1));
}

bool IsBand(int band) {
    return band >= 0 && band < CGraphicEqPage::kBands;
}

}  // namespace

CGraphicEqPage::CGraphicEqPage(IPageHost& host, QWidget* parent)
    : CFilterPage(kTemplateId, kGraphicEqTraits, host, parent) {
    BuildControls();
}

void CGraphicEqPage::BuildControls() {
    narrow_ = AddEqButton("Narrow Bw", filter_button::kNarrow);
    wide_ = AddEqButton("Wide Bw", filter_button::kWide);
    connect(narrow_, &CColorButton::clicked, this, [this] { OnBandwidth(true); });
    connect(wide_, &CColorButton::clicked, this, [this] { OnBandwidth(false); });
    for (int band = 0; band < kBands; ++band) {
        auto* slider = new CPanelSlider(this);
        slider->setAccessibleName(QStringLiteral("Band %1 gain, %2 Hz")
                                      .arg(band + 1)
                                      .arg(QString::fromStdString(FrequencyCaption(
                                          FilterResponse::GraphicBandCentreHz(band)))));
        AddBandSlider(slider, [this, band](int position) { OnBandSlider(band, position); });
        bands_[At(band)].slider = slider;
    }
}

void CGraphicEqPage::OnInitDialog() {
    CFilterPage::OnInitDialog();
    yBottom_ = Mapping().DbToYFromBottom(-15.0);
    yTop_ = Mapping().DbToYFromTop(15.0);
    OnGridRebuilt();
    for (int band = 0; band < kBands; ++band) {
        Band& b = bands_[At(band)];
        {
            const QSignalBlocker quiet(b.slider);
            b.slider->setRange(0, kTopCode);
            b.slider->setValue(kFlatCode);
        }
        ToolTip().AddTool(b.slider, [this, band] { return BandTipText(band); });
    }
    PlaceSliders();
    for (CColorButton* b : {narrow_, wide_}) b->SetMomentary(false);
}

void CGraphicEqPage::OnGridRebuilt() {
    std::vector<int> dotX(kBands);
    for (int band = 0; band < kBands; ++band) {
        dotX[At(band)] = Mapping().FrequencyToX(FilterResponse::GraphicBandCentreHz(band));
        bands_[At(band)].dotX = dotX[At(band)];
    }
    const std::vector<PixelRect> columns = BandColumns(dotX, Mapping().Rect());
    for (int band = 0; band < kBands; ++band) bands_[At(band)].column = columns[At(band)];
}

// Each slider stands under its band's dot, so slider and dot read as one control.
void CGraphicEqPage::PlaceSliders() {
    const PixelRect row = DialogToPixels(
        {0, kGraphicSliderTopDu, kGraphicSliderWidthDu, kGraphicSliderHeightDu}, Units());
    for (Band& b : bands_) {
        const int width = row.Width();
        b.slider->setGeometry(b.dotX - width / 2, row.top, width, row.Height());
    }
}

CPanelSlider* CGraphicEqPage::BandSlider(int band) const {
    return IsBand(band) ? bands_[At(band)].slider : nullptr;
}

PixelRect CGraphicEqPage::ColumnOf(int band) const {
    return bands_[At(band)].column;
}

int CGraphicEqPage::GainCode(int band) const {
    if (Document() == nullptr) return kFlatCode;
    // A code from a damaged file is shown at the nearest end of the range.
    return std::clamp(Document()->Edits().Get(ParamField::EqGraphicGain, EditedChannel(), band), 0,
                      kTopCode);
}

QString CGraphicEqPage::BandTipText(int band) const {
    if (!IsBand(band) || !HasDocumentData()) return {};
    return QString::fromStdString(FormatDecibels(valueOf(Scale::GraphicGain, GainCode(band))));
}

// ---- Refresh -----------------------------------------------------------------------------

void CGraphicEqPage::RefreshBands() {
    LatchBandwidth();
    for (int band = 0; band < kBands; ++band) {
        const int position = kTopCode - GainCode(band);
        PlaceDotFromPosition(band, position);
        ShowSliderPosition(band, position);
    }
}

void CGraphicEqPage::LatchBandwidth() {
    const int code = Document()->Edits().Get(ParamField::EqGraphicQ, EditedChannel());
    const bool narrow = valueOf(Scale::GraphicQ, code) == kNarrowQ;
    narrow_->SetLatched(narrow);
    wide_->SetLatched(!narrow);
}

// ---- Bands and dots ------------------------------------------------------------------------

void CGraphicEqPage::PlaceDotFromPosition(int band, int position) {
    PlaceDot(band, {bands_[At(band)].dotX, GraphicDotY(position, yTop_, yBottom_)});
}

void CGraphicEqPage::ShowSliderPosition(int band, int position) {
    const QSignalBlocker quiet(bands_[At(band)].slider);
    bands_[At(band)].slider->setValue(position);
}

void CGraphicEqPage::SetBandFromY(int band, int y) {
    const int position = GraphicPositionOfY(y, yTop_, yBottom_);
    Document()->Edits().Set(ParamField::EqGraphicGain, EditedChannel(), band, kTopCode - position);
    // The dot follows the pointer pixel by pixel; the gain steps by 0.5 dB.
    PlaceDot(band, {bands_[At(band)].dotX, std::clamp(y, yTop_, yBottom_)});
    ShowSliderPosition(band, position);
}

void CGraphicEqPage::SetBandPosition(int band, int position) {
    Document()->Edits().Set(ParamField::EqGraphicGain, EditedChannel(), band, kTopCode - position);
    PlaceDotFromPosition(band, position);
    ShowSliderPosition(band, position);
}

void CGraphicEqPage::OnBandSlider(int band, int position) {
    if (!HasDocumentData()) return;
    SetBandPosition(band, position);
    ShowEqPage();
    ToolTip().UpdateTipText(bands_[At(band)].slider);
    RepaintGraphNow();
}

void CGraphicEqPage::ResetBand(int band) {
    SetBandPosition(band, kFlatCode);
}

// ---- Buttons -----------------------------------------------------------------------------

void CGraphicEqPage::FlattenBands() {
    Document()->Edits().FlatGraphic(EditedChannel());
    for (int band = 0; band < kBands; ++band) {
        ShowSliderPosition(band, kFlatCode);
        PlaceDotFromPosition(band, kFlatCode);
    }
}

void CGraphicEqPage::OnBandwidth(bool narrow) {
    if (!HasDocumentData()) return;
    if (narrow) {
        Document()->Edits().NarrowGraphicBandwidth(EditedChannel());
    } else {
        Document()->Edits().WideGraphicBandwidth(EditedChannel());
    }
    narrow_->SetLatched(narrow);
    wide_->SetLatched(!narrow);
    MarkBandsDirty();
    ShowEqPage();
    InvalidateGraphInterior();
}

// ---- Mouse -------------------------------------------------------------------------------

void CGraphicEqPage::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton && IsEditable() && state_ == MouseState::Idle) {
        const int band = DotAt(point);
        if (band >= 0) {
            state_ = MouseState::Dragging;
            SetDraggedBand(band);
            lastY_ = point.y();
            ShowEqPage();
            bands_[At(band)].slider->setFocus(Qt::MouseFocusReason);
            event->accept();
            return;
        }
    }
    if (event->button() == Qt::RightButton && IsEditable() && state_ == MouseState::Idle) {
        state_ = MouseState::Drawing;
        lastColumn_ = -1;
        ShowEqPage();
        event->accept();
        return;
    }
    CFilterPage::mousePressEvent(event);
}

void CGraphicEqPage::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    switch (state_) {
        case MouseState::Dragging:
            // The button-up went elsewhere (a box opened meanwhile): the drag ended there.
            if (!(event->buttons() & Qt::LeftButton)) {
                EndDrag();
                break;
            }
            SetBandFromY(DraggedBand(), DotCentre(DraggedBand()).y + point.y() - lastY_);
            lastY_ = point.y();
            RepaintGraphNow();
            break;
        case MouseState::Drawing:
            if (!(event->buttons() & Qt::RightButton)) {
                EndDrawing();
                break;
            }
            DrawTo(point);
            break;
        case MouseState::Idle:
            HoverDot(point);
            break;
    }
    // After the edit, so the read-out shows the curve as it is now.
    UpdateReadout(point);
    event->accept();
}

void CGraphicEqPage::DrawTo(const QPoint& point) {
    std::vector<PixelRect> columns;
    columns.reserve(kBands);
    for (const Band& b : bands_) columns.push_back(b.column);
    const int column = ColumnAt(columns, point.x(), point.y());
    if (column < 0) return;
    for (const BandHeight& step : DrawingSteps(column, point.y(), lastColumn_, lastDrawY_)) {
        SetBandFromY(step.band, step.y);
    }
    lastColumn_ = column;
    lastDrawY_ = point.y();
    RepaintGraphNow();
}

void CGraphicEqPage::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && state_ == MouseState::Dragging) {
        EndDrag();
        event->accept();
        return;
    }
    if (event->button() == Qt::RightButton && state_ == MouseState::Drawing) {
        EndDrawing();
        event->accept();
        return;
    }
    CFilterPage::mouseReleaseEvent(event);
}

void CGraphicEqPage::EndDrag() {
    state_ = MouseState::Idle;
    SetDraggedBand(-1);
}

void CGraphicEqPage::EndDrawing() {
    state_ = MouseState::Idle;
    lastColumn_ = -1;
}

void CGraphicEqPage::EndGesture() {
    if (state_ == MouseState::Dragging) EndDrag();
    if (state_ == MouseState::Drawing) EndDrawing();
}

}  // namespace arvestra
