#include "ui/pages/GraphicEqPage.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "document/CQ7310Doc.h"
#include "model/FilterResponse.h"
#include "model/Scales.h"
#include "model/ValueFormat.h"
#include "ui/controls/ColorButton.h"
#include "ui/controls/PanelPalette.h"
#include "ui/controls/PanelSlider.h"
#include "ui/pages/FilterPageGeometry.h"
#include "ui/pages/PageHost.h"
#include "ui/pages/ToolTipControl.h"
#include "ui/shell/CommandIds.h"

namespace arvestra {

namespace {

constexpr int kFlatCode = 30;
constexpr int kTopCode = 60;
constexpr double kNarrowQ = 7.0;
const QColor kDotFill{0x00, 0xFF, 0x00};

std::size_t At(int band) {
    return static_cast<std::size_t>(std::clamp(band, 0, CGraphicEqPage::kBands - 1));
}

bool IsBand(int band) {
    return band >= 0 && band < CGraphicEqPage::kBands;
}

}  // namespace

CGraphicEqPage::CGraphicEqPage(IPageHost& host, QWidget* parent)
    : CFilterPage(kTemplateId, host, parent) {
    BuildControls();
}

double CGraphicEqPage::GetGraphTopDb() const {
    return kGraphicEqGraph.topDb;
}
double CGraphicEqPage::GetGraphBottomDb() const {
    return kGraphicEqGraph.bottomDb;
}
double CGraphicEqPage::GetGraphLowHz() const {
    return kGraphicEqGraph.lowHz;
}
double CGraphicEqPage::GetGraphHighHz() const {
    return kGraphicEqGraph.highHz;
}

void CGraphicEqPage::BuildControls() {
    const auto button = [this](const char* text, const DialogRect& r) {
        auto* b = new CColorButton(QString::fromLatin1(text), this);
        PlaceControl(b, r.x, r.y, r.width, r.height);
        return b;
    };
    eqBypass_ = button("EQ Bypass", filter_button::kEqBypass);
    flat_ = button("Flat", filter_button::kFlat);
    narrow_ = button("Narrow Bw", filter_button::kNarrow);
    wide_ = button("Wide Bw", filter_button::kWide);
    graphic_ = button("Graphic", filter_button::kGraphic);
    parametric_ = button("Parametric", filter_button::kParametric);
    connect(eqBypass_, &CColorButton::clicked, this, [this] { OnEqBypass(); });
    connect(flat_, &CColorButton::clicked, this, [this] { OnFlat(); });
    connect(narrow_, &CColorButton::clicked, this, [this] { OnBandwidth(true); });
    connect(wide_, &CColorButton::clicked, this, [this] { OnBandwidth(false); });
    connect(parametric_, &CColorButton::clicked, this, [this] { OnParametric(); });
    for (int band = 0; band < kBands; ++band) {
        auto* slider = new CPanelSlider(this);
        slider->setAccessibleName(QStringLiteral("Band %1 gain, %2 Hz")
                                      .arg(band + 1)
                                      .arg(QString::fromStdString(FrequencyCaption(
                                          FilterResponse::GraphicBandCentreHz(band)))));
        slider->installEventFilter(this);
        connect(slider, &CPanelSlider::userMoved, this,
                [this, band](int position) { OnBandSlider(band, position); });
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
        b.dot = {0, 0, kDotSize, kDotSize};
        ToolTip().AddTool(b.slider, [this, band] { return BandTipText(band); });
    }
    PlaceSliders();
    for (CColorButton* b : {eqBypass_, graphic_, narrow_, wide_, parametric_}) {
        b->SetMomentary(false);
    }
}

void CGraphicEqPage::OnGridRebuilt() {
    std::vector<int> dotX(kBands);
    for (int band = 0; band < kBands; ++band) {
        dotX[At(band)] = Mapping().FrequencyToX(FilterResponse::GraphicBandCentreHz(band));
        bands_[At(band)].dotX = dotX[At(band)];
        ToolTip().AddRectTool(this, band + 1, ToQRect(bands_[At(band)].dot),
                              [this, band] { return BandTipText(band); });
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

void CGraphicEqPage::AddPageArtwork(Picture& /*picture*/) const {}

CPanelSlider* CGraphicEqPage::BandSlider(int band) const {
    return IsBand(band) ? bands_[At(band)].slider : nullptr;
}

PixelPoint CGraphicEqPage::DotCentre(int band) const {
    const Band& b = bands_[At(band)];
    return {b.dotX, b.dotY};
}

PixelRect CGraphicEqPage::DotRectOf(int band) const {
    return bands_[At(band)].dot;
}

PixelRect CGraphicEqPage::ColumnOf(int band) const {
    return bands_[At(band)].column;
}

QWidget* CGraphicEqPage::DefaultFocusWidget() const {
    return bands_[0].slider;
}

int CGraphicEqPage::GainCode(int band) const {
    if (Document() == nullptr) return kFlatCode;
    // A code from a damaged file is shown at the nearest end of the range.
    return std::clamp(Document()->Get(ParamField::EqGraphicGain, editedChannel_, band), 0,
                      kTopCode);
}

QString CGraphicEqPage::BandTipText(int band) const {
    if (!IsBand(band) || !HasDocumentData()) return {};
    return QString::fromStdString(FormatDecibels(valueOf(Scale::GraphicGain, GainCode(band))));
}

// ---- Refresh -----------------------------------------------------------------------------

void CGraphicEqPage::UpdatePage(int hint) {
    CFilterPage::UpdatePage(hint);
    if (!HasDocumentData()) return;
    CQ7310Doc& doc = *Document();
    // Opened for an EQ that is now parametric: the view is asked for the other page.
    const int openedFor = SelectedBlockFlag(1) != 0 ? 0 : (SelectedBlockFlag(2) != 0 ? 1 : -1);
    if (IsShownPage() && openedFor >= 0 && doc.Get(ParamField::EqType, openedFor) == 1) {
        editedChannel_ = openedFor;
        OnParametric();
    }
    graphic_->SetLatched(true);
    parametric_->SetLatched(false);
    eqBypass_->SetLatched(doc.Get(ParamField::EqBypass, editedChannel_) != 0);
    LatchBandwidth();
    for (int band = 0; band < kBands; ++band) {
        const int position = kTopCode - GainCode(band);
        PlaceDotFromPosition(band, position);
        const QSignalBlocker quiet(bands_[At(band)].slider);
        bands_[At(band)].slider->setValue(position);
    }
    ApplyFocus();
}

void CGraphicEqPage::RefreshPathDependents() {
    CFilterPage::RefreshPathDependents();
    if (IsBlockInChain(1) == 0 && IsBlockInChain(2) == 0) {
        editable_ = false;
    } else {
        if (SelectedBlockFlag(1) != 0) {
            editedChannel_ = 0;
        } else if (SelectedBlockFlag(2) != 0) {
            editedChannel_ = 1;
        } else {
            const bool filterShown =
                (SelectedBlockFlag(11) != 0 && IsPresent(0, CurveKind::LowPass)) ||
                (SelectedBlockFlag(12) != 0 && IsPresent(1, CurveKind::LowPass)) ||
                (SelectedBlockFlag(13) != 0 && IsPresent(0, CurveKind::HighPass)) ||
                (SelectedBlockFlag(14) != 0 && IsPresent(1, CurveKind::HighPass));
            const bool a = IsPresent(0, CurveKind::Graphic);
            const bool b = IsPresent(1, CurveKind::Graphic);
            if (filterShown && a != b) editedChannel_ = a ? 0 : 1;
        }
        editable_ = IsPresent(editedChannel_, CurveKind::Graphic);
    }
    for (const Band& b : bands_) b.slider->setEnabled(editable_);
    for (CColorButton* b : {parametric_, graphic_, wide_, narrow_, flat_, eqBypass_}) {
        b->setEnabled(editable_);
    }
    if (!editable_) EndGesture();
}

void CGraphicEqPage::LatchBandwidth() {
    const int code = Document()->Get(ParamField::EqGraphicQ, editedChannel_);
    const bool narrow = valueOf(Scale::GraphicQ, code) == kNarrowQ;
    narrow_->SetLatched(narrow);
    wide_->SetLatched(!narrow);
}

// ---- Bands and dots ------------------------------------------------------------------------

void CGraphicEqPage::PlaceDotFromPosition(int band, int position) {
    PlaceDotAtY(band, GraphicDotY(position, yTop_, yBottom_));
}

void CGraphicEqPage::PlaceDotAtY(int band, int y) {
    Band& b = bands_[At(band)];
    const PixelRect old = b.dot;
    b.dotY = y;
    b.dot = DotRect(b.dotX, y);
    if (old != b.dot) {
        ToolTip().AddRectTool(this, band + 1, ToQRect(b.dot),
                              [this, band] { return BandTipText(band); });
    }
    MarkCurveDirty(editedChannel_, CurveKind::Graphic);
    InvalidateGraphInterior();
}

void CGraphicEqPage::SetBandFromY(int band, int y) {
    const int position = GraphicPositionOfY(y, yTop_, yBottom_);
    Document()->Set(ParamField::EqGraphicGain, editedChannel_, band, kTopCode - position);
    // The dot follows the pointer pixel by pixel; the gain steps by 0.5 dB.
    PlaceDotAtY(band, std::clamp(y, yTop_, yBottom_));
    const QSignalBlocker quiet(bands_[At(band)].slider);
    bands_[At(band)].slider->setValue(position);
}

void CGraphicEqPage::SetBandPosition(int band, int position) {
    Document()->Set(ParamField::EqGraphicGain, editedChannel_, band, kTopCode - position);
    PlaceDotFromPosition(band, position);
    const QSignalBlocker quiet(bands_[At(band)].slider);
    bands_[At(band)].slider->setValue(position);
}

void CGraphicEqPage::OnBandSlider(int band, int position) {
    if (!HasDocumentData()) return;
    SetBandPosition(band, position);
    ShowEqPage();
    ToolTip().UpdateTipText(bands_[At(band)].slider);
    RepaintGraphNow();
}

void CGraphicEqPage::ShowEqPage() {
    ShowBlockPage(editedChannel_ == 0 ? 1 : 2);
}

int CGraphicEqPage::DotAt(const QPoint& point) const {
    for (int band = 0; band < kBands; ++band) {
        if (bands_[At(band)].dot.Contains(point.x(), point.y())) return band;
    }
    return -1;
}

// ---- Buttons -----------------------------------------------------------------------------

void CGraphicEqPage::OnFlat() {
    if (!HasDocumentData()) return;
    Document()->FlatGraphic(editedChannel_);
    for (int band = 0; band < kBands; ++band) {
        const QSignalBlocker quiet(bands_[At(band)].slider);
        bands_[At(band)].slider->setValue(kFlatCode);
        PlaceDotFromPosition(band, kFlatCode);
    }
    ShowEqPage();
}

void CGraphicEqPage::OnBandwidth(bool narrow) {
    if (!HasDocumentData()) return;
    if (narrow) {
        Document()->NarrowGraphicBandwidth(editedChannel_);
    } else {
        Document()->WideGraphicBandwidth(editedChannel_);
    }
    narrow_->SetLatched(narrow);
    wide_->SetLatched(!narrow);
    MarkCurveDirty(editedChannel_, CurveKind::Graphic);
    ShowEqPage();
    InvalidateGraphInterior();
}

void CGraphicEqPage::OnEqBypass() {
    if (!HasDocumentData()) return;
    Document()->ToggleFlag(ParamField::EqBypass, editedChannel_);
    eqBypass_->SetLatched(Document()->Get(ParamField::EqBypass, editedChannel_) != 0);
    MarkCurveDirty(editedChannel_, CurveKind::Graphic);
    ShowEqPage();
    InvalidateGraphInterior();
}

void CGraphicEqPage::OnParametric() {
    if (!HasDocumentData()) return;
    graphic_->SetLatched(false);
    parametric_->SetLatched(true);
    Document()->Set(ParamField::EqType, editedChannel_, 1);
    Host().PostViewCommand(command::kViewDeviceConfiguration);
    ShowEqPage();
}

// ---- Mouse -------------------------------------------------------------------------------

void CGraphicEqPage::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton && editable_ && state_ == MouseState::Idle) {
        const int band = DotAt(point);
        if (band >= 0) {
            state_ = MouseState::Dragging;
            dragBand_ = band;
            lastY_ = point.y();
            ShowEqPage();
            bands_[At(band)].slider->setFocus(Qt::MouseFocusReason);
            update(ToQRect(bands_[At(band)].dot.Shrunk(-2)));
            event->accept();
            return;
        }
    }
    if (event->button() == Qt::RightButton && editable_ && state_ == MouseState::Idle) {
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
    UpdateReadout(point);
    switch (state_) {
        case MouseState::Dragging:
            // The button-up went elsewhere (a box opened meanwhile): the drag ended there.
            if (!(event->buttons() & Qt::LeftButton)) {
                EndDrag();
                break;
            }
            SetBandFromY(dragBand_, bands_[At(dragBand_)].dotY + point.y() - lastY_);
            lastY_ = point.y();
            RepaintGraphNow();
            break;
        case MouseState::Drawing: {
            if (!(event->buttons() & Qt::RightButton)) {
                EndDrawing();
                break;
            }
            std::vector<PixelRect> columns;
            columns.reserve(kBands);
            for (const Band& b : bands_) columns.push_back(b.column);
            const int column = ColumnAt(columns, point.x(), point.y());
            if (column < 0) break;
            for (const BandHeight& step :
                 DrawingSteps(column, point.y(), lastColumn_, lastDrawY_)) {
                SetBandFromY(step.band, step.y);
            }
            lastColumn_ = column;
            lastDrawY_ = point.y();
            RepaintGraphNow();
            break;
        }
        case MouseState::Idle: {
            const int band = DotAt(point);
            if (band == hoveredBand_) break;
            // Nothing was hovered before (-1): only the new dot needs repainting.
            if (IsBand(hoveredBand_)) update(ToQRect(bands_[At(hoveredBand_)].dot.Shrunk(-2)));
            if (IsBand(band)) update(ToQRect(bands_[At(band)].dot.Shrunk(-2)));
            hoveredBand_ = band;
            break;
        }
    }
    event->accept();
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

void CGraphicEqPage::mouseDoubleClickEvent(QMouseEvent* event) {
    const int band = DotAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !editable_ || band < 0 || !HasDocumentData()) {
        CFilterPage::mouseDoubleClickEvent(event);
        return;
    }
    // A double click on a dot puts its band back to 0 dB.
    SetBandPosition(band, kFlatCode);
    ShowEqPage();
    RepaintGraphNow();
    event->accept();
}

void CGraphicEqPage::EndDrag() {
    if (IsBand(dragBand_)) update(ToQRect(bands_[At(dragBand_)].dot.Shrunk(-2)));
    state_ = MouseState::Idle;
    dragBand_ = -1;
    hoveredBand_ = -1;
}

void CGraphicEqPage::EndDrawing() {
    state_ = MouseState::Idle;
    lastColumn_ = -1;
}

void CGraphicEqPage::EndGesture() {
    if (state_ == MouseState::Dragging) EndDrag();
    if (state_ == MouseState::Drawing) EndDrawing();
}

bool CGraphicEqPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool up = key->key() == Qt::Key_Up;
        if ((up || key->key() == Qt::Key_Down) && (key->modifiers() & Qt::ShiftModifier)) {
            for (int band = 0; band < kBands; ++band) {
                CPanelSlider* slider = bands_[At(band)].slider;
                if (watched != slider || !slider->isEnabled()) continue;
                // Up raises the band: the slider's top end is its highest gain.
                const int position = std::clamp(
                    slider->value() + (up ? -kLargeKeyStep : kLargeKeyStep), 0, kTopCode);
                if (position != slider->value()) OnBandSlider(band, position);
                return true;
            }
        }
    }
    return CFilterPage::eventFilter(watched, event);
}

// ---- Painting ----------------------------------------------------------------------------

void CGraphicEqPage::PaintDots(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrush(kDotFill);
    for (int band = 0; band < kBands; ++band) {
        const Band& b = bands_[At(band)];
        const bool marked = band == hoveredBand_ || band == dragBand_;
        painter.setPen(QPen(marked ? Qt::white : Qt::black, 1.0));
        painter.drawEllipse(QRectF(b.dot.left + 0.5, b.dot.top + 0.5, kDotSize - 1, kDotSize - 1));
    }
    painter.setBrush(Qt::NoBrush);
    painter.setRenderHint(QPainter::Antialiasing, false);
}

}  // namespace arvestra
