#include "ui/pages/DelayPage.h"

#include <QEvent>
#include <QLineEdit>
#include <QPainter>

#include <algorithm>

#include "document/PageDocument.h"
#include "model/DelayMath.h"
#include "model/PresetImage.h"
#include "model/ValueFormat.h"
#include "ui/controls/ColorButton.h"
#include "ui/controls/PanelSlider.h"
#include "ui/pages/DelayPageGeometry.h"
#include "ui/pages/EditFocus.h"
#include "ui/pages/PicturePainter.h"
#include "ui/pages/TypedNumber.h"

namespace arvestra {

namespace {

// The temperature unit: application-wide, Fahrenheit at start, only this page uses it.
bool celsiusUnit = false;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

CDelayPage::CDelayPage(IPageHost& host, QWidget* parent) : CPageDialog(kTemplateId, host, parent) {}

bool CDelayPage::IsCelsius() {
    return celsiusUnit;
}

void CDelayPage::SetCelsius(bool celsius) {
    celsiusUnit = celsius;
}

int CDelayPage::Channel() const {
    return SelectedBlockFlag(kDelayABlock) != 0 ? kChannelA : kChannelB;
}

bool CDelayPage::HasData() const {
    return Document() != nullptr && Document()->Edits().IsBound();
}

QLineEdit* CDelayPage::MakeEdit(int id) {
    auto* edit = new QLineEdit(this);
    const DialogRect r = DelayPagePlaceOf(id);
    PlaceControl(edit, r.x, r.y, r.width, r.height);
    edit->setAlignment(Qt::AlignRight);
    edit->installEventFilter(this);
    return edit;
}

CColorButton* CDelayPage::MakeButton(int id, const QString& text) {
    auto* button = new CColorButton(text, this);
    const DialogRect r = DelayPagePlaceOf(id);
    PlaceControl(button, r.x, r.y, r.width, r.height);
    return button;
}

void CDelayPage::OnInitDialog() {
    bypass = MakeButton(delay_id::kBypass, QStringLiteral("Delay Bypass"));
    feet = MakeEdit(delay_id::kFeet);
    metres = MakeEdit(delay_id::kMetres);
    seconds = MakeEdit(delay_id::kSeconds);
    temperature = MakeEdit(delay_id::kTemperature);
    degF = MakeButton(delay_id::kDegF, QStringLiteral("Deg F"));
    degC = MakeButton(delay_id::kDegC, QStringLiteral("Deg C"));
    defaults = MakeButton(delay_id::kDefaults, QStringLiteral("Default Settings"));
    slider = new CPanelSlider(this);
    const DialogRect r = DelayPagePlaceOf(delay_id::kSlider);
    PlaceControl(slider, r.x, r.y, r.width, r.height);
    // Tab order follows the page from top to bottom.
    setTabOrder(bypass, feet);
    setTabOrder(feet, metres);
    setTabOrder(metres, seconds);
    setTabOrder(seconds, slider);
    setTabOrder(slider, temperature);
    setTabOrder(temperature, degF);
    setTabOrder(degF, degC);
    setTabOrder(degC, defaults);

    for (QLineEdit* edit : {temperature, metres, feet, seconds}) AddEditField(edit);
    CPageDialog::OnInitDialog();

    slider->setRange(0, kMaxDelaySamples);
    slider->setValue(0);
    for (CColorButton* latch : {bypass, degC, degF}) latch->SetMomentary(false);

    connect(slider, &CPanelSlider::userMoved, this, &CDelayPage::OnSliderMoved);
    connect(bypass, &CColorButton::clicked, this, &CDelayPage::OnBypass);
    connect(degF, &CColorButton::clicked, this, [this] { OnUnit(false); });
    connect(degC, &CColorButton::clicked, this, [this] { OnUnit(true); });
    connect(defaults, &CColorButton::clicked, this, &CDelayPage::OnDefaults);
}

void CDelayPage::UpdatePage(int unused) {
    CPageDialog::UpdatePage(unused);
    if (!HasData()) return;
    const IPageDocument& doc = *Document();
    const int channel = Channel();
    // A file may hold more than the device uses: the page shows what the device would use.
    const int samples = std::clamp(doc.Edits().GetDelaySamples(channel), 0, kMaxDelaySamples);
    const int tenths =
        std::clamp(doc.Edits().GetTemperatureTenths(channel), 0, kMaxTemperatureTenths);
    // setText also clears each field's modified flag: only the user's typing sets it again.
    seconds->setText(Text(FormatDelaySeconds(DelaySeconds(samples))));
    feet->setText(Text(FormatFeet(DelayFeet(samples, tenths))));
    metres->setText(Text(FormatMetres(DelayMetres(samples, tenths))));
    temperature->setText(Text(FormatTemperature(ShownTemperature(tenths, celsiusUnit))));
    slider->setValue(samples);
    bypass->SetLatched(doc.Edits().Get(ParamField::DelayBypass, channel) != 0);
    degC->SetLatched(celsiusUnit);
    degF->SetLatched(!celsiusUnit);
}

void CDelayPage::CommitField(QLineEdit* field) {
    // A field the user did not change keeps the stored value: its text is only a rounding of it.
    if (!HasData() || !field->isModified()) return;
    field->setModified(false);
    IPageDocument& doc = *Document();
    const int channel = Channel();
    const double typed = ParseTypedNumber(field->text());
    if (field == seconds) {
        doc.Edits().SetDelaySamples(channel, SamplesFromSeconds(typed));
    } else if (field == feet) {
        doc.Edits().SetDelayFeet(channel, typed);
    } else if (field == metres) {
        doc.Edits().SetDelayMetres(channel, typed);
    } else if (field == temperature) {
        doc.Edits().SetTemperatureKeepingDistance(channel,
                                                  TemperatureTenthsFromTyped(typed, celsiusUnit));
    }
    UpdatePage(0);
}

void CDelayPage::OnSliderMoved(int samples) {
    if (!HasData()) return;
    Document()->Edits().SetDelaySamples(Channel(), samples);
    UpdatePage(0);
}

void CDelayPage::OnBypass() {
    if (!HasData()) return;
    Document()->Edits().ToggleFlag(ParamField::DelayBypass, Channel());
    bypass->SetLatched(Document()->Edits().Get(ParamField::DelayBypass, Channel()) != 0);
}

void CDelayPage::OnUnit(bool celsius) {
    SetCelsius(celsius);
    degC->SetLatched(celsius);
    degF->SetLatched(!celsius);
    UpdatePage(0);
}

void CDelayPage::OnDefaults() {
    if (!HasData()) return;
    Document()->Edits().DelayDefaultSettings(Channel());
    UpdatePage(0);
}

bool CDelayPage::eventFilter(QObject* watched, QEvent* event) {
    if (FocusLossEndsEditing(event)) {
        for (QLineEdit* field : {feet, metres, seconds, temperature}) {
            if (watched == field) CommitField(field);
        }
    }
    return CPageDialog::eventFilter(watched, event);
}

void CDelayPage::showEvent(QShowEvent* event) {
    CPageDialog::showEvent(event);
    if (slider != nullptr) slider->setFocus();
}

void CDelayPage::PaintArtwork(QPainter& painter) {
    PaintPicture(painter, DelayPagePicture(Units()), font());
}

}  // namespace arvestra
