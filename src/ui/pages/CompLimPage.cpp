#include "ui/pages/CompLimPage.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

#include "document/PageDocument.h"
#include "model/Scales.h"
#include "model/ValueFormat.h"
#include "ui/controls/ColorButton.h"
#include "ui/controls/PanelPalette.h"
#include "ui/controls/PanelSlider.h"
#include "ui/pages/EditFocus.h"
#include "ui/pages/PicturePainter.h"
#include "ui/pages/ToolTipControl.h"
#include "ui/pages/TypedNumber.h"

namespace arvestra {

namespace {

using PF = ParamField;

// The graph labels' and titles' background.
const QColor kLabelBackground{165, 165, 165};
const QColor kCurveColour{0, 255, 0};
const QColor kRedLabel{255, 0, 0};

constexpr int kSplitBandMode = 0;
constexpr int kFullRangeMode = 1;
constexpr int kHard = 0;
constexpr int kMedium = 1;
constexpr int kSoft = 2;

// The four rows of a band, in the order of Band::sliders.
constexpr std::array<CCompLimPage::Value, 4> kRows{
    CCompLimPage::Value::Attack, CCompLimPage::Value::Release, CCompLimPage::Value::Threshold,
    CCompLimPage::Value::Ratio};

PF FieldOf(CCompLimPage::Value value) {
    switch (value) {
        case CCompLimPage::Value::Crossover:
            return PF::ClCrossover;
        case CCompLimPage::Value::Attack:
            return PF::ClAttack;
        case CCompLimPage::Value::Release:
            return PF::ClRelease;
        case CCompLimPage::Value::Threshold:
            return PF::ClThreshold;
        case CCompLimPage::Value::Ratio:
            break;
    }
    return PF::ClRatio;
}

Scale ScaleOf(CCompLimPage::Value value) {
    switch (value) {
        case CCompLimPage::Value::Crossover:
            return Scale::Frequency;
        case CCompLimPage::Value::Attack:
            return Scale::Attack;
        case CCompLimPage::Value::Release:
            return Scale::Release;
        case CCompLimPage::Value::Threshold:
            return Scale::Threshold;
        case CCompLimPage::Value::Ratio:
            break;
    }
    return Scale::Ratio;
}

std::string FormatValue(CCompLimPage::Value value, double v) {
    switch (value) {
        case CCompLimPage::Value::Crossover:
            return FormatCrossover(v);
        case CCompLimPage::Value::Attack:
            return FormatAttack(v);
        case CCompLimPage::Value::Release:
            return FormatRelease(v);
        case CCompLimPage::Value::Threshold:
            return FormatThreshold(v);
        case CCompLimPage::Value::Ratio:
            break;
    }
    return FormatRatio(v);
}

struct SliderRangeOf {
    int lowest;
    int highest;
};

SliderRangeOf RangeOf(CCompLimPage::Value value) {
    switch (value) {
        case CCompLimPage::Value::Crossover:
            return {kCrossoverLowest, kCrossoverHighest};
        case CCompLimPage::Value::Attack:
            return {kAttackLowest, kAttackHighest};
        case CCompLimPage::Value::Release:
            return {kReleaseLowest, kReleaseHighest};
        case CCompLimPage::Value::Threshold:
            return {kThresholdLowest, kThresholdHighest};
        case CCompLimPage::Value::Ratio:
            break;
    }
    return {kRatioLowest, kRatioHighest};
}

bool MovesTheCurve(CCompLimPage::Value value) {
    return value == CCompLimPage::Value::Threshold || value == CCompLimPage::Value::Ratio;
}

PixelPoint PointOf(const QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    return {p.x(), p.y()};
}

void SetLabelColour(QLabel* label, const QColor& colour) {
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, colour);
    label->setPalette(colours);
}

}  // namespace

CCompLimPage::CCompLimPage(IPageHost& host, QWidget* parent)
    : CPageDialog(kTemplateId, host, parent) {}

int CCompLimPage::Channel() const {
    return SelectedBlockFlag(kCompLimABlock) != 0 ? kChannelA : kChannelB;
}

bool CCompLimPage::HasData() const {
    return Document() != nullptr && Document()->Edits().IsBound();
}

QLineEdit* CCompLimPage::MakeEdit(int id) {
    auto* edit = new QLineEdit(this);
    const DialogRect r = CompLimPagePlaceOf(id);
    PlaceControl(edit, r.x, r.y, r.width, r.height);
    edit->setAlignment(Qt::AlignRight);
    edit->installEventFilter(this);
    return edit;
}

CPanelSlider* CCompLimPage::MakeSlider(int id) {
    auto* slider = new CPanelSlider(this);
    const DialogRect r = CompLimPagePlaceOf(id);
    PlaceControl(slider, r.x, r.y, r.width, r.height);
    return slider;
}

CColorButton* CCompLimPage::MakeButton(int id, const QString& text) {
    auto* button = new CColorButton(text, this);
    const DialogRect r = CompLimPagePlaceOf(id);
    PlaceControl(button, r.x, r.y, r.width, r.height);
    button->SetMomentary(false);
    return button;
}

void CCompLimPage::BuildBand(int band) {
    const CompBandIds& ids = kCompBandIds[static_cast<std::size_t>(band)];
    Band& b = bands[static_cast<std::size_t>(band)];
    const std::array<std::pair<int, int>, 4> rowIds{{{ids.attackSlider, ids.attackEdit},
                                                     {ids.releaseSlider, ids.releaseEdit},
                                                     {ids.thresholdSlider, ids.thresholdEdit},
                                                     {ids.ratioSlider, ids.ratioEdit}}};
    for (std::size_t r = 0; r < rowIds.size(); ++r) {
        b.sliders[r] = MakeSlider(rowIds[r].first);
        b.edits[r] = MakeEdit(rowIds[r].second);
    }
    b.gain = MakeSlider(ids.gainSlider);
    b.soft = MakeButton(ids.soft, QStringLiteral("Soft"));
    b.medium = MakeButton(ids.medium, QStringLiteral("Medium"));
    b.hard = MakeButton(ids.hard, QStringLiteral("Hard"));
    const auto makeLabel = [this](int id, const QString& text, Qt::Alignment align) {
        auto* label = new QLabel(text, this);
        const DialogRect r = CompLimPagePlaceOf(id);
        PlaceControl(label, r.x, r.y, r.width, r.height);
        label->setAlignment(align | Qt::AlignVCenter);
        label->setAutoFillBackground(true);
        QPalette colours = label->palette();
        colours.setColor(QPalette::Window, kLabelBackground);
        label->setPalette(colours);
        return label;
    };
    b.title =
        makeLabel(ids.title, band == 0 ? QStringLiteral("Low Band") : QStringLiteral("High Band"),
                  Qt::AlignHCenter);
    const std::array<int, 3> scaleIds{ids.scaleTop, ids.scaleMiddle, ids.scaleBottom};
    for (std::size_t i = 0; i < scaleIds.size(); ++i) {
        b.scale[i] = makeLabel(scaleIds[i], QStringLiteral("-00"), Qt::AlignRight);
    }
    // The placeholder gives the graph; the curve arithmetic wants it square in pixels.
    b.graph = CompLimGraphRect(band, Units());
    b.plot = PlotOfGraph(b.graph);
    b.threshold = {b.plot.x0, b.plot.y0};
    b.ratio = {b.plot.x1, b.plot.y1};
    b.handles = {HandleRect(b.threshold), HandleRect(b.ratio)};
    // Scale labels stand level with the top, middle and bottom of the plot.
    const int labelHeight = b.scale[0]->height();
    const std::array<int, 3> rows{b.plot.y1, (b.plot.y0 + b.plot.y1) / 2, b.plot.y0};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        b.scale[i]->move(b.scale[i]->x(), rows[i] - labelHeight / 2);
    }
    for (std::size_t r = 0; r < kRows.size(); ++r) {
        fields.push_back({kRows[r], band, b.edits[r], b.sliders[r]});
    }
    connect(b.gain, &CPanelSlider::userMoved, this,
            [this, band](int position) { OnGainMoved(band, position); });
    connect(b.soft, &CColorButton::clicked, this, [this, band] { OnKnee(band, kSoft); });
    connect(b.medium, &CColorButton::clicked, this, [this, band] { OnKnee(band, kMedium); });
    connect(b.hard, &CColorButton::clicked, this, [this, band] { OnKnee(band, kHard); });
}

void CCompLimPage::OnInitDialog() {
    bypass = MakeButton(comp_id::kBypass, QStringLiteral("Comp/Lim Bypass"));
    splitBand = MakeButton(comp_id::kSplitBand, QStringLiteral("Split Band"));
    fullRange = MakeButton(comp_id::kFullRange, QStringLiteral("Full Range"));
    crossoverSlider = MakeSlider(comp_id::kCrossoverSlider);
    crossoverEdit = MakeEdit(comp_id::kCrossoverEdit);
    fields.push_back({Value::Crossover, 1, crossoverEdit, crossoverSlider});
    BuildBand(0);
    BuildBand(1);
    for (const ValueField& field : fields) AddEditField(field.edit);
    CPageDialog::OnInitDialog();

    for (const ValueField& field : fields) {
        const SliderRangeOf range = RangeOf(field.value);
        field.slider->setRange(range.lowest, range.highest);
        const ValueField copy = field;
        connect(field.slider, &CPanelSlider::userMoved, this,
                [this, copy](int position) { OnSliderMoved(copy, position); });
    }
    for (int band = 0; band < 2; ++band) {
        CPanelSlider* gain = bands[static_cast<std::size_t>(band)].gain;
        gain->setRange(0, kGainHighest);
        ToolTip().AddTool(gain, [this, band] {
            if (!HasData()) return QString();
            const int code = Document()->Edits().Get(PF::ClGain, Channel(), band);
            return QString::fromStdString(FormatDecibels(valueOf(Scale::CompressorGain, code)));
        });
    }
    connect(bypass, &CColorButton::clicked, this, &CCompLimPage::OnBypass);
    connect(splitBand, &CColorButton::clicked, this, [this] { OnMode(kSplitBandMode); });
    connect(fullRange, &CColorButton::clicked, this, [this] { OnMode(kFullRangeMode); });
}

int CCompLimPage::Code(Value value, int band) const {
    return Document()->Edits().Get(FieldOf(value), Channel(), value == Value::Crossover ? 0 : band);
}

void CCompLimPage::StoreCode(Value value, int band, long long code) {
    Document()->Edits().Set(FieldOf(value), Channel(), value == Value::Crossover ? 0 : band, code);
}

void CCompLimPage::ShowField(const ValueField& field) {
    const int code = Code(field.value, field.band);
    field.edit->setText(
        QString::fromStdString(FormatValue(field.value, valueOf(ScaleOf(field.value), code))));
    field.slider->setValue(code);
}

void CCompLimPage::ShowGain(int band) {
    Band& b = bands[static_cast<std::size_t>(band)];
    b.gain->setValue(kGainHighest - Document()->Edits().Get(PF::ClGain, Channel(), band));
    ToolTip().UpdateTipText(b.gain);
}

void CCompLimPage::ShowKnee(int band) {
    Band& b = bands[static_cast<std::size_t>(band)];
    const int knee = Document()->Edits().Get(PF::ClKnee, Channel(), band);
    b.hard->SetLatched(knee == kHard);
    b.medium->SetLatched(knee == kMedium);
    // A knee of 3 is shown as soft.
    b.soft->SetLatched(knee >= kSoft);
}

void CCompLimPage::ShowScaleLabels(int band) {
    Band& b = bands[static_cast<std::size_t>(band)];
    const GainScaleLabels labels =
        GainLabelsOf(Document()->Edits().Get(PF::ClGain, Channel(), band));
    b.scale[0]->setText(QString::fromStdString(labels.top));
    b.scale[1]->setText(QString::fromStdString(labels.middle));
    b.scale[2]->setText(QString::fromStdString(labels.bottom));
    SetLabelColour(b.scale[0], labels.topRed ? kRedLabel : QColor(Qt::black));
}

void CCompLimPage::RecomputeCurve(int band) {
    Band& b = bands[static_cast<std::size_t>(band)];
    b.threshold = ThresholdPoint(b.plot, Document()->Edits().Get(PF::ClThreshold, Channel(), band));
    const double ratio =
        valueOf(Scale::Ratio, Document()->Edits().Get(PF::ClRatio, Channel(), band));
    b.ratio = RatioPoint(b.plot, b.threshold, ratio);
    b.handles = {HandleRect(b.threshold), HandleRect(b.ratio)};
    update(ToQRect(b.graph));
}

void CCompLimPage::UpdatePage(int unused) {
    CPageDialog::UpdatePage(unused);
    if (!HasData()) return;
    const int channel = Channel();
    for (const ValueField& field : fields) ShowField(field);
    const bool split = Document()->Edits().Get(PF::ClMode, channel) == kSplitBandMode;
    for (int band = 0; band < 2; ++band) {
        ShowGain(band);
        RecomputeCurve(band);
        ShowKnee(band);
        ShowScaleLabels(band);
    }
    bypass->SetLatched(Document()->Edits().Get(PF::ClBypass, channel) != 0);
    splitBand->SetLatched(split);
    fullRange->SetLatched(!split);
    // Only split mode has a crossover and a low band.
    const Band& low = bands[0];
    std::vector<QWidget*> splitOnly{crossoverSlider, crossoverEdit, low.gain,
                                    low.soft,        low.medium,    low.hard};
    splitOnly.insert(splitOnly.end(), low.sliders.begin(), low.sliders.end());
    splitOnly.insert(splitOnly.end(), low.edits.begin(), low.edits.end());
    for (QWidget* control : splitOnly) control->setEnabled(split);
    bands[0].title->setText(split ? QStringLiteral("Low Band") : QString());
    bands[1].title->setText(split ? QStringLiteral("High Band") : QStringLiteral("Full Band"));
    update();
}

const CCompLimPage::ValueField* CCompLimPage::FieldOfEdit(const QObject* edit) const {
    for (const ValueField& field : fields) {
        if (field.edit == edit) return &field;
    }
    return nullptr;
}

bool CCompLimPage::CommitField(const ValueField& field) {
    // A field the user did not change keeps the stored value: its text is only a rounding of it.
    if (!HasData() || !field.edit->isModified()) return false;
    field.edit->setModified(false);
    const double typed = ParseTypedNumber(field.edit->text());
    StoreCode(field.value, field.band, nearestCode(ScaleOf(field.value), typed));
    ShowField(field);
    if (MovesTheCurve(field.value)) RecomputeCurve(field.band);
    return true;
}

void CCompLimPage::OnOK() {
    // Enter commits every edit, in this order.
    const std::array<std::pair<Value, int>, 9> order{{{Value::Attack, 1},
                                                      {Value::Attack, 0},
                                                      {Value::Crossover, 1},
                                                      {Value::Ratio, 1},
                                                      {Value::Ratio, 0},
                                                      {Value::Release, 1},
                                                      {Value::Release, 0},
                                                      {Value::Threshold, 1},
                                                      {Value::Threshold, 0}}};
    for (const auto& [value, band] : order) {
        for (const ValueField& field : fields) {
            if (field.value == value && field.band == band) CommitField(field);
        }
    }
}

void CCompLimPage::OnSliderMoved(const ValueField& field, int position) {
    if (!HasData()) return;
    StoreCode(field.value, field.band, position);
    ShowField(field);
    if (MovesTheCurve(field.value)) RecomputeCurve(field.band);
}

void CCompLimPage::OnGainMoved(int band, int position) {
    if (!HasData()) return;
    Document()->Edits().Set(PF::ClGain, Channel(), band, kGainHighest - position);
    ShowScaleLabels(band);
    ShowGain(band);
}

void CCompLimPage::OnMode(int mode) {
    if (!HasData()) return;
    splitBand->SetLatched(mode == kSplitBandMode);
    fullRange->SetLatched(mode == kFullRangeMode);
    Document()->Edits().Set(PF::ClMode, Channel(), mode);
    UpdatePage(0);
}

void CCompLimPage::OnKnee(int band, int knee) {
    if (!HasData()) return;
    Document()->Edits().Set(PF::ClKnee, Channel(), band, knee);
    ShowKnee(band);
}

void CCompLimPage::OnBypass() {
    if (!HasData()) return;
    Document()->Edits().ToggleFlag(PF::ClBypass, Channel());
    bypass->SetLatched(Document()->Edits().Get(PF::ClBypass, Channel()) != 0);
}

bool CCompLimPage::eventFilter(QObject* watched, QEvent* event) {
    if (FocusLossEndsEditing(event)) {
        if (const ValueField* field = FieldOfEdit(watched)) CommitField(*field);
    }
    return CPageDialog::eventFilter(watched, event);
}

void CCompLimPage::showEvent(QShowEvent* event) {
    CPageDialog::showEvent(event);
    if (CPanelSlider* ratio = bands[1].sliders[3]) ratio->setFocus();
}

void CCompLimPage::hideEvent(QHideEvent* event) {
    EndDrag();
    CPageDialog::hideEvent(event);
}

void CCompLimPage::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !HasData()) {
        CPageDialog::mousePressEvent(event);
        return;
    }
    const bool split = Document()->Edits().Get(PF::ClMode, Channel()) == kSplitBandMode;
    const HandleHit hit = HitHandle({bands[0].handles, bands[1].handles}, split, PointOf(event));
    if (hit.drag == HandleDrag::Idle) {
        CPageDialog::mousePressEvent(event);
        return;
    }
    drag = hit.drag;
    dragBand = hit.band;
    last = PointOf(event);
    // The press grabs the mouse for this page until the button is released. Moves are followed
    // with the button up too, so a drag whose release went elsewhere still ends.
    setMouseTracking(true);
    event->accept();
}

void CCompLimPage::mouseMoveEvent(QMouseEvent* event) {
    if (drag == HandleDrag::Idle) {
        CPageDialog::mouseMoveEvent(event);
        return;
    }
    // A move without the button down means its release was lost: the drag ends there.
    if (!(event->buttons() & Qt::LeftButton)) {
        EndDrag();
        return;
    }
    DragTo(PointOf(event));
}

void CCompLimPage::mouseReleaseEvent(QMouseEvent* event) {
    if (drag == HandleDrag::Idle || event->button() != Qt::LeftButton) {
        CPageDialog::mouseReleaseEvent(event);
        return;
    }
    EndDrag();
}

void CCompLimPage::DragTo(PixelPoint pointer) {
    if (!HasData() || dragBand < 0) return;
    Band& b = bands[static_cast<std::size_t>(dragBand)];
    const int dx = pointer.x - last.x;
    const int dy = pointer.y - last.y;
    if (drag == HandleDrag::Either) drag = ResolveEitherHandle(dx, dy);
    if (drag == HandleDrag::Either) return;
    const PixelPoint moved = drag == HandleDrag::Threshold
                                 ? PixelPoint{b.threshold.x + dx, b.threshold.y + dy}
                                 : PixelPoint{b.ratio.x + dx, b.ratio.y + dy};
    const Value value = drag == HandleDrag::Threshold ? Value::Threshold : Value::Ratio;
    const int code = drag == HandleDrag::Threshold ? ThresholdCodeAtX(b.plot, moved.x)
                                                   : RatioCodeAtY(b.plot, b.threshold, moved.y);
    StoreCode(value, dragBand, code);
    for (const ValueField& field : fields) {
        if (field.value == value && field.band == dragBand) ShowField(field);
    }
    RecomputeCurve(dragBand);
    // The handle snaps to the stored code; the pointer keeps its offset without drift.
    const PixelPoint snapped = drag == HandleDrag::Threshold ? b.threshold : b.ratio;
    last = {pointer.x + snapped.x - moved.x, pointer.y + snapped.y - moved.y};
}

void CCompLimPage::EndDrag() {
    drag = HandleDrag::Idle;
    dragBand = -1;
    setMouseTracking(false);
}

void CCompLimPage::PaintArtwork(QPainter& painter) {
    PaintPicture(painter, CompLimPagePicture(Units()), font());
}

void CCompLimPage::PaintPage(QPainter& painter) {
    if (!HasData()) return;
    const bool split = Document()->Edits().Get(PF::ClMode, Channel()) == kSplitBandMode;
    painter.setPen(QPen(kCurveColour, 1));
    painter.setBrush(kCurveColour);
    for (int band = split ? 0 : 1; band < 2; ++band) {
        const Band& b = bands[static_cast<std::size_t>(band)];
        const QPolygon curve{QPoint(b.plot.x0, b.plot.y0), QPoint(b.threshold.x, b.threshold.y),
                             QPoint(b.ratio.x, b.ratio.y)};
        painter.drawPolyline(curve);
        painter.drawEllipse(ToQRect(b.handles.threshold).adjusted(0, 0, -1, -1));
        painter.drawEllipse(ToQRect(b.handles.ratio).adjusted(0, 0, -1, -1));
    }
}

}  // namespace arvestra
