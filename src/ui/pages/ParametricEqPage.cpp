#include "ui/pages/ParametricEqPage.h"

#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>

#include "document/PageDocument.h"
#include "model/Scales.h"
#include "model/ValueFormat.h"
#include "ui/controls/ColorButton.h"
#include "ui/controls/PanelSlider.h"
#include "ui/pages/ToolTipControl.h"

namespace arvestra {

namespace {

constexpr int kFlatGainCode = 97;
constexpr int kWheelNotch = 120;

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
    : CFilterPage(kTemplateId, kParametricEqTraits, host, parent) {
    BuildControls();
}

void CParametricEqPage::BuildControls() {
    for (int band = 0; band < kBands; ++band) {
        Band& b = bands_[At(band)];
        const ParametricBandPlaces places = ParametricBandPlacesOf(band);
        b.bypass = AddEqButton("Bypass", places.bypass);
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
            AddBandSlider(slider, [this, band, kind](int position) {
                OnBandSlider(band, static_cast<SliderKind>(kind), position);
            });
            b.sliders[static_cast<std::size_t>(kind)] = slider;
        }
    }
}

void CParametricEqPage::OnInitDialog() {
    CFilterPage::OnInitDialog();
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
    }
}

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

// A band's code, limited to its field's range: a damaged file may hold anything, and every
// table lookup and slider position below relies on the range.
int CParametricEqPage::Code(ParamField field, int band) const {
    if (Document() == nullptr) return 0;
    return ClampToField(field, Document()->Edits().Get(field, EditedChannel(), band));
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

void CParametricEqPage::RefreshBands() {
    for (int band = 0; band < kBands; ++band) {
        bands_[At(band)].bypass->SetLatched(Code(ParamField::EqParamBypass, band) != 0);
        RefreshBandSliders(band);
        PlaceBandDot(band);
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

void CParametricEqPage::PlaceBandDot(int band) {
    PlaceDot(
        band,
        {Mapping().FrequencyToX(
             valueOf(Scale::Frequency, Code(ParamField::EqParamFrequency, band))),
         Mapping().DbToY(valueOf(Scale::ParametricGain, Code(ParamField::EqParamGain, band)))});
}

void CParametricEqPage::StoreCode(int band, SliderKind kind, int code) {
    Document()->Edits().Set(SpecOf(kind).field, EditedChannel(), band, code);
    CPanelSlider* slider = bands_[At(band)].sliders[static_cast<std::size_t>(kind)];
    const QSignalBlocker quiet(slider);
    slider->setValue(SpecOf(kind).highest - Code(SpecOf(kind).field, band));
}

void CParametricEqPage::OnBandSlider(int band, SliderKind kind, int position) {
    if (!HasDocumentData()) return;
    StoreCode(band, kind, SpecOf(kind).highest - position);
    PlaceBandDot(band);
    ToolTip().UpdateTipText(bands_[At(band)].sliders[static_cast<std::size_t>(kind)]);
    RepaintGraphNow();
    ShowEqPage();
}

void CParametricEqPage::MoveDot(int band, int x, int y) {
    const DotLimits limits = ParametricDotLimits(Mapping().Rect());
    const PixelPoint from = DotCentre(band);
    const int dotX = std::clamp(from.x + x - lastX_, limits.left, limits.right);
    const int dotY = std::clamp(from.y + y - lastY_, limits.top, limits.bottom);
    StoreCode(band, Frequency, nearestCode(Scale::Frequency, Mapping().XToFrequency(dotX)));
    StoreCode(band, Gain, nearestCode(Scale::ParametricGain, Mapping().YToDb(dotY)));
    // The dot snaps to the stored codes; the next move starts from there.
    PlaceBandDot(band);
    RepaintGraphNow();
    lastX_ = DotCentre(band).x;
    lastY_ = DotCentre(band).y;
}

// ---- Buttons -----------------------------------------------------------------------------

void CParametricEqPage::OnBandBypass(int band) {
    if (!HasDocumentData()) return;
    Document()->Edits().ToggleFlag(ParamField::EqParamBypass, EditedChannel(), band);
    for (int i = 0; i < kBands; ++i) {
        bands_[At(i)].bypass->SetLatched(Code(ParamField::EqParamBypass, i) != 0);
    }
    ShowEqPage();
    MarkBandsDirty();
    InvalidateGraphInterior();
}

void CParametricEqPage::FlattenBands() {
    for (int band = 0; band < kBands; ++band) {
        StoreCode(band, Gain, kFlatGainCode);
        PlaceBandDot(band);
    }
}

void CParametricEqPage::ResetBand(int band) {
    StoreCode(band, Gain, kFlatGainCode);
    PlaceBandDot(band);
}

// ---- Mouse and keys ----------------------------------------------------------------------

void CParametricEqPage::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    const int band = DotAt(point);
    // A dot can be dragged even while the band controls are disabled.
    if (event->button() == Qt::LeftButton && band >= 0 && state_ == MouseState::Idle &&
        HasDocumentData()) {
        state_ = MouseState::Dragging;
        SetDraggedBand(band);
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
    if (state_ == MouseState::Dragging) {
        // The button-up went elsewhere (a box opened meanwhile): the drag ended there.
        if (!(event->buttons() & Qt::LeftButton)) {
            EndDrag();
        } else {
            MoveDot(DraggedBand(), point.x(), point.y());
        }
        // After the edit, so the read-out shows the curve as it is now.
        UpdateReadout(point);
        event->accept();
        return;
    }
    HoverDot(point);
    UpdateReadout(point);
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
        MarkBandsDirty();
        ShowEqPage();
        ToolTip().UpdateTipText(bands_[At(band)].sliders[Bandwidth]);
        RepaintGraphNow();
    }
    event->accept();
}

void CParametricEqPage::EndDrag() {
    state_ = MouseState::Idle;
    SetDraggedBand(-1);
}

void CParametricEqPage::EndGesture() {
    if (state_ == MouseState::Dragging) EndDrag();
}

}  // namespace arvestra
