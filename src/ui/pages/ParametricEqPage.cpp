#include "ui/pages/ParametricEqPage.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

#include "document/CQ7310Doc.h"
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

constexpr int kFlatGainCode = 97;
constexpr int kWheelNotch = 120;
const QColor kDotFill{0x00, 0xFF, 0x00};

// Per slider kind: the band's field, its highest code (a slider position is highest - code, so
// every slider's top is its highest value) and the slider's initial position.
struct SliderSpec {
    ParamField field;
    int highest;
    int initialPosition;
    const char* caption;
};
constexpr std::array<SliderSpec, 3> kSliders{{
    {ParamField::EqParamFrequency, 100, 50, "F"},
    {ParamField::EqParamBandwidth, 39, 20, "BW"},
    {ParamField::EqParamGain, 121, 24, "G"},
}};

std::size_t At(int band) {
    return static_cast<std::size_t>(std::clamp(band, 0, CParametricEqPage::kBands - 1));
}

bool IsBand(int band) {
    return band >= 0 && band < CParametricEqPage::kBands;
}

const SliderSpec& SpecOf(int kind) {
    return kSliders[static_cast<std::size_t>(std::clamp(kind, 0, 2))];
}

}  // namespace

CParametricEqPage::CParametricEqPage(IPageHost& host, QWidget* parent)
    : CFilterPage(kTemplateId, host, parent) {
    BuildControls();
}

double CParametricEqPage::GetGraphTopDb() const {
    return kParametricEqGraph.topDb;
}
double CParametricEqPage::GetGraphBottomDb() const {
    return kParametricEqGraph.bottomDb;
}
double CParametricEqPage::GetGraphLowHz() const {
    return kParametricEqGraph.lowHz;
}
double CParametricEqPage::GetGraphHighHz() const {
    return kParametricEqGraph.highHz;
}

void CParametricEqPage::BuildControls() {
    const auto button = [this](const char* text, const DialogRect& r) {
        auto* b = new CColorButton(QString::fromLatin1(text), this);
        PlaceControl(b, r.x, r.y, r.width, r.height);
        return b;
    };
    eqBypass_ = button("EQ Bypass", filter_button::kEqBypass);
    flat_ = button("Flat", filter_button::kFlat);
    graphic_ = button("Graphic", filter_button::kGraphic);
    parametric_ = button("Parametric", filter_button::kParametric);
    connect(eqBypass_, &CColorButton::clicked, this, [this] { OnEqBypass(); });
    connect(flat_, &CColorButton::clicked, this, [this] { OnFlat(); });
    connect(graphic_, &CColorButton::clicked, this, [this] { OnGraphic(); });
    for (int band = 0; band < kBands; ++band) {
        Band& b = bands_[At(band)];
        const ParametricBandPlaces places = ParametricBandPlacesOf(band);
        b.bypass = button("Bypass", places.bypass);
        b.bypass->setAccessibleName(QStringLiteral("Band %1 bypass").arg(band + 1));
        connect(b.bypass, &CColorButton::clicked, this, [this, band] { OnBandBypass(band); });
        for (int kind = 0; kind < 3; ++kind) {
            auto* slider = new CPanelSlider(this);
            static constexpr std::array<const char*, 3> kNames = {"frequency", "bandwidth", "gain"};
            slider->setAccessibleName(
                QStringLiteral("Band %1 %2")
                    .arg(band + 1)
                    .arg(QLatin1String(kNames[static_cast<std::size_t>(kind)])));
            const DialogRect& r = places.sliders[static_cast<std::size_t>(kind)];
            PlaceControl(slider, r.x, r.y, r.width, r.height);
            slider->installEventFilter(this);
            connect(slider, &CPanelSlider::userMoved, this, [this, band, kind](int position) {
                OnBandSlider(band, static_cast<SliderKind>(kind), position);
            });
            b.sliders[static_cast<std::size_t>(kind)] = slider;
        }
    }
}

void CParametricEqPage::OnInitDialog() {
    CFilterPage::OnInitDialog();
    for (CColorButton* b : {graphic_, parametric_, eqBypass_}) b->SetMomentary(false);
    for (int band = 0; band < kBands; ++band) {
        Band& b = bands_[At(band)];
        b.bypass->SetMomentary(false);
        for (int kind = 0; kind < 3; ++kind) {
            CPanelSlider* slider = b.sliders[static_cast<std::size_t>(kind)];
            const QSignalBlocker quiet(slider);
            slider->setRange(0, SpecOf(kind).highest);
            slider->setValue(SpecOf(kind).initialPosition);
            ToolTip().AddTool(slider, [this, band, kind] {
                return SliderTipText(band, static_cast<SliderKind>(kind));
            });
        }
        b.dot = {0, 0, kDotSize, kDotSize};
        ToolTip().AddRectTool(this, band + 1, ToQRect(b.dot),
                              [this, band] { return DotTipText(band); });
    }
}

void CParametricEqPage::OnGridRebuilt() {}

void CParametricEqPage::AddPageArtwork(Picture& picture) const {
    const int pixels = CaptionPixels(6, Units());
    for (int band = 0; band < kBands; ++band) {
        const ParametricBandPlaces places = ParametricBandPlacesOf(band);
        PictureText caption;
        caption.box = DialogToPixels(places.caption, Units());
        caption.text = "Band " + std::to_string(band + 1);
        caption.pixelSize = CaptionPixels(7, Units());
        caption.bold = true;
        picture.texts.push_back(caption);
        for (int kind = 0; kind < 3; ++kind) {
            PictureText text;
            text.box =
                DialogToPixels(places.sliderCaptions[static_cast<std::size_t>(kind)], Units());
            text.text = SpecOf(kind).caption;
            text.pixelSize = pixels;
            picture.texts.push_back(text);
        }
    }
}

CPanelSlider* CParametricEqPage::BandSlider(int band, SliderKind kind) const {
    if (!IsBand(band)) return nullptr;
    return bands_[At(band)].sliders[static_cast<std::size_t>(std::clamp<int>(kind, 0, 2))];
}

CColorButton* CParametricEqPage::BandBypassButton(int band) const {
    return IsBand(band) ? bands_[At(band)].bypass : nullptr;
}

PixelPoint CParametricEqPage::DotCentre(int band) const {
    return {bands_[At(band)].dotX, bands_[At(band)].dotY};
}

PixelRect CParametricEqPage::DotRectOf(int band) const {
    return bands_[At(band)].dot;
}

QWidget* CParametricEqPage::DefaultFocusWidget() const {
    return bands_[0].sliders[Frequency];
}

// A band's code, limited to its field's range: a damaged file may hold anything, and every
// table lookup and slider position below relies on the range.
int CParametricEqPage::Code(ParamField field, int band) const {
    if (Document() == nullptr) return 0;
    return ClampToField(field, Document()->Get(field, editedChannel_, band));
}

QString CParametricEqPage::SliderTipText(int band, SliderKind kind) const {
    if (!IsBand(band) || !HasDocumentData()) return {};
    const int frequency = Code(ParamField::EqParamFrequency, band);
    switch (kind) {
        case Frequency:
            return QString::fromStdString(
                FormatParametricFrequency(valueOf(Scale::Frequency, frequency)));
        case Bandwidth:
            return QString::fromStdString(FormatBandwidth(
                valueOf(Scale::Bandwidth,
                        effectiveBandwidth(frequency, Code(ParamField::EqParamBandwidth, band)))));
        case Gain:
            return QString::fromStdString(FormatDecibels(
                valueOf(Scale::ParametricGain, Code(ParamField::EqParamGain, band))));
    }
    return {};
}

QString CParametricEqPage::DotTipText(int band) const {
    if (!IsBand(band) || !HasDocumentData()) return {};
    const int frequency = Code(ParamField::EqParamFrequency, band);
    const int bandwidth = effectiveBandwidth(frequency, Code(ParamField::EqParamBandwidth, band));
    return QString::fromStdString(FormatBandTip(
        band + 1, valueOf(Scale::Frequency, frequency), valueOf(Scale::Bandwidth, bandwidth),
        valueOf(Scale::ParametricGain, Code(ParamField::EqParamGain, band))));
}

// ---- Refresh -----------------------------------------------------------------------------

void CParametricEqPage::UpdatePage(int hint) {
    CFilterPage::UpdatePage(hint);
    if (!HasDocumentData()) return;
    CQ7310Doc& doc = *Document();
    // Opened for an EQ that is now graphic: the view is asked for the other page.
    const int openedFor = SelectedBlockFlag(1) != 0 ? 0 : (SelectedBlockFlag(2) != 0 ? 1 : -1);
    if (IsShownPage() && openedFor >= 0 && doc.Get(ParamField::EqType, openedFor) == 0) {
        editedChannel_ = openedFor;
        OnGraphic();
    }
    graphic_->SetLatched(false);
    parametric_->SetLatched(true);
    eqBypass_->SetLatched(doc.Get(ParamField::EqBypass, editedChannel_) != 0);
    for (int band = 0; band < kBands; ++band) {
        bands_[At(band)].bypass->SetLatched(Code(ParamField::EqParamBypass, band) != 0);
        RefreshBandSliders(band);
        PlaceDot(band);
    }
    ApplyFocus();
}

void CParametricEqPage::RefreshPathDependents() {
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
            const bool a = IsPresent(0, CurveKind::Parametric);
            const bool b = IsPresent(1, CurveKind::Parametric);
            if (filterShown && a != b) editedChannel_ = a ? 0 : 1;
        }
        editable_ = IsPresent(editedChannel_, CurveKind::Parametric);
    }
    for (CColorButton* b : {parametric_, graphic_, flat_, eqBypass_}) b->setEnabled(editable_);
    for (const Band& b : bands_) {
        b.bypass->setEnabled(editable_);
        for (CPanelSlider* slider : b.sliders) slider->setEnabled(editable_);
    }
}

void CParametricEqPage::RefreshBandSliders(int band) {
    for (int kind = 0; kind < 3; ++kind) {
        CPanelSlider* slider = bands_[At(band)].sliders[static_cast<std::size_t>(kind)];
        const QSignalBlocker quiet(slider);
        slider->setValue(SpecOf(kind).highest - Code(SpecOf(kind).field, band));
    }
}

// ---- Bands and dots ------------------------------------------------------------------------

void CParametricEqPage::MarkDirty() {
    MarkCurveDirty(editedChannel_, CurveKind::Parametric);
}

void CParametricEqPage::PlaceDot(int band) {
    Band& b = bands_[At(band)];
    b.dotX =
        Mapping().FrequencyToX(valueOf(Scale::Frequency, Code(ParamField::EqParamFrequency, band)));
    b.dotY = Mapping().DbToY(valueOf(Scale::ParametricGain, Code(ParamField::EqParamGain, band)));
    const PixelRect old = b.dot;
    b.dot = DotRect(b.dotX, b.dotY);
    if (old != b.dot) {
        ToolTip().AddRectTool(this, band + 1, ToQRect(b.dot),
                              [this, band] { return DotTipText(band); });
    }
    MarkDirty();
    InvalidateGraphInterior();
}

void CParametricEqPage::StoreCode(int band, SliderKind kind, int code) {
    Document()->Set(SpecOf(kind).field, editedChannel_, band, code);
    CPanelSlider* slider = bands_[At(band)].sliders[static_cast<std::size_t>(kind)];
    const QSignalBlocker quiet(slider);
    slider->setValue(SpecOf(kind).highest - Code(SpecOf(kind).field, band));
}

void CParametricEqPage::OnBandSlider(int band, SliderKind kind, int position) {
    if (!HasDocumentData()) return;
    StoreCode(band, kind, SpecOf(kind).highest - position);
    PlaceDot(band);
    ToolTip().UpdateTipText(bands_[At(band)].sliders[static_cast<std::size_t>(kind)]);
    RepaintGraphNow();
    ShowEqPage();
}

int CParametricEqPage::DotAt(const QPoint& point) const {
    for (int band = 0; band < kBands; ++band) {
        if (bands_[At(band)].dot.Contains(point.x(), point.y())) return band;
    }
    return -1;
}

void CParametricEqPage::MoveDot(int band, int x, int y) {
    const DotLimits limits = ParametricDotLimits(Mapping().Rect());
    Band& b = bands_[At(band)];
    b.dotX = std::clamp(b.dotX + x - lastX_, limits.left, limits.right);
    b.dotY = std::clamp(b.dotY + y - lastY_, limits.top, limits.bottom);
    StoreCode(band, Frequency, nearestCode(Scale::Frequency, Mapping().XToFrequency(b.dotX)));
    StoreCode(band, Gain, nearestCode(Scale::ParametricGain, Mapping().YToDb(b.dotY)));
    // The dot snaps to the stored codes; the next move starts from there.
    PlaceDot(band);
    RepaintGraphNow();
    lastX_ = b.dotX;
    lastY_ = b.dotY;
}

void CParametricEqPage::ShowEqPage() {
    ShowBlockPage(editedChannel_ == 0 ? 1 : 2);
}

// ---- Buttons -----------------------------------------------------------------------------

void CParametricEqPage::OnBandBypass(int band) {
    if (!HasDocumentData()) return;
    Document()->ToggleFlag(ParamField::EqParamBypass, editedChannel_, band);
    for (int i = 0; i < kBands; ++i) {
        bands_[At(i)].bypass->SetLatched(Code(ParamField::EqParamBypass, i) != 0);
    }
    ShowEqPage();
    MarkDirty();
    InvalidateGraphInterior();
}

void CParametricEqPage::OnEqBypass() {
    if (!HasDocumentData()) return;
    Document()->ToggleFlag(ParamField::EqBypass, editedChannel_);
    eqBypass_->SetLatched(Document()->Get(ParamField::EqBypass, editedChannel_) != 0);
    MarkDirty();
    ShowEqPage();
    InvalidateGraphInterior();
}

void CParametricEqPage::OnFlat() {
    if (!HasDocumentData()) return;
    for (int band = 0; band < kBands; ++band) {
        StoreCode(band, Gain, kFlatGainCode);
        PlaceDot(band);
    }
    ShowEqPage();
}

void CParametricEqPage::OnGraphic() {
    if (!HasDocumentData()) return;
    graphic_->SetLatched(true);
    parametric_->SetLatched(false);
    Document()->Set(ParamField::EqType, editedChannel_, 0);
    Host().PostViewCommand(command::kViewDeviceConfiguration);
    ShowEqPage();
}

// ---- Mouse and keys ----------------------------------------------------------------------

void CParametricEqPage::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    const int band = DotAt(point);
    // A dot can be dragged even while the band controls are disabled.
    if (event->button() == Qt::LeftButton && band >= 0 && state_ == MouseState::Idle &&
        HasDocumentData()) {
        state_ = MouseState::Dragging;
        dragBand_ = band;
        lastX_ = point.x();
        lastY_ = point.y();
        ShowEqPage();
        bands_[At(band)].sliders[Frequency]->setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    CFilterPage::mousePressEvent(event);
}

void CParametricEqPage::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    UpdateReadout(point);
    if (state_ == MouseState::Dragging) {
        // The button-up went elsewhere (a box opened meanwhile): the drag ended there.
        if (!(event->buttons() & Qt::LeftButton)) {
            EndDrag();
        } else {
            MoveDot(dragBand_, point.x(), point.y());
        }
        event->accept();
        return;
    }
    const int band = DotAt(point);
    if (band != hoveredBand_) {
        if (IsBand(hoveredBand_)) update(ToQRect(bands_[At(hoveredBand_)].dot.Shrunk(-2)));
        if (IsBand(band)) update(ToQRect(bands_[At(band)].dot.Shrunk(-2)));
        hoveredBand_ = band;
    }
    event->accept();
}

void CParametricEqPage::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && state_ == MouseState::Dragging) {
        EndDrag();
        event->accept();
        return;
    }
    CFilterPage::mouseReleaseEvent(event);
}

void CParametricEqPage::mouseDoubleClickEvent(QMouseEvent* event) {
    const int band = DotAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || band < 0 || !HasDocumentData()) {
        CFilterPage::mouseDoubleClickEvent(event);
        return;
    }
    // A double click on a dot puts its band back to 0 dB.
    StoreCode(band, Gain, kFlatGainCode);
    PlaceDot(band);
    ShowEqPage();
    RepaintGraphNow();
    event->accept();
}

void CParametricEqPage::wheelEvent(QWheelEvent* event) {
    const int band = DotAt(event->position().toPoint());
    if (band < 0 || !HasDocumentData()) {
        CFilterPage::wheelEvent(event);
        return;
    }
    wheelRemainder_ += event->angleDelta().y();
    const int notches = wheelRemainder_ / kWheelNotch;
    wheelRemainder_ -= notches * kWheelNotch;
    if (notches != 0) {
        const int step = (event->modifiers() & Qt::ControlModifier) ? 1 : kWheelStep;
        // Counted from the width the band really has, so every notch shows in the curve.
        const int effective = effectiveBandwidth(Code(ParamField::EqParamFrequency, band),
                                                 Code(ParamField::EqParamBandwidth, band));
        StoreCode(band, Bandwidth, std::clamp(effective + notches * step, 0, 39));
        MarkDirty();
        ShowEqPage();
        ToolTip().UpdateTipText(bands_[At(band)].sliders[Bandwidth]);
        RepaintGraphNow();
    }
    event->accept();
}

void CParametricEqPage::EndDrag() {
    state_ = MouseState::Idle;
    dragBand_ = -1;
}

void CParametricEqPage::EndGesture() {
    if (state_ == MouseState::Dragging) EndDrag();
}

bool CParametricEqPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool up = key->key() == Qt::Key_Up;
        if ((up || key->key() == Qt::Key_Down) && (key->modifiers() & Qt::ShiftModifier)) {
            for (int band = 0; band < kBands; ++band) {
                for (int kind = 0; kind < 3; ++kind) {
                    CPanelSlider* slider = bands_[At(band)].sliders[static_cast<std::size_t>(kind)];
                    if (watched != slider || !slider->isEnabled()) continue;
                    const int position =
                        std::clamp(slider->value() + (up ? -kLargeKeyStep : kLargeKeyStep), 0,
                                   SpecOf(kind).highest);
                    if (position != slider->value()) {
                        OnBandSlider(band, static_cast<SliderKind>(kind), position);
                    }
                    return true;
                }
            }
        }
    }
    return CFilterPage::eventFilter(watched, event);
}

// ---- Painting ----------------------------------------------------------------------------

void CParametricEqPage::PaintDots(QPainter& painter) {
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
