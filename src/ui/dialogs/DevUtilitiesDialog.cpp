#include "ui/dialogs/DevUtilitiesDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "document/AskQuestion.h"
#include "document/CQ7310Doc.h"
#include "model/CurveDisplayOptions.h"
#include "ui/pages/PageDialog.h"
#include "ui/pages/ResponseDumpSource.h"

namespace arvestra {

namespace {

constexpr char kFactoryQuestion[] =
    "Are you sure you want to re-initialize this device to the factory default settings?";

}  // namespace

CDevUtilitiesDialog::CDevUtilitiesDialog(CQ7310Doc& document, QWidget* parent)
    : CUnitDialog(QStringLiteral("Development Utilities"), 320, 262, parent), doc(document) {
    setModal(false);
    BuildControls();
}

void CDevUtilitiesDialog::BuildControls() {
    const auto named = [](QWidget* w, int id) {
        w->setObjectName(QString::number(id));
        return w;
    };
    powerSpectrum = new QCheckBox(QStringLiteral("&Power Spectrum Display"), this);
    realTimeUpdate = new QCheckBox(QStringLiteral("&Real-Time Update"), this);
    midiDebug = new QCheckBox(QStringLiteral("&Midi Debug"), this);
    named(powerSpectrum, 3158);
    named(realTimeUpdate, 3159);
    named(midiDebug, 3160);
    Place(powerSpectrum, 7, 7, 150, 10);
    Place(realTimeUpdate, 7, 21, 150, 10);
    Place(midiDebug, 7, 35, 150, 10);
    connect(powerSpectrum, &QCheckBox::clicked, this, &CDevUtilitiesDialog::OnPowerSpectrum);
    connect(realTimeUpdate, &QCheckBox::clicked, this, &CDevUtilitiesDialog::OnRealTimeUpdate);
    connect(midiDebug, &QCheckBox::clicked, this, &CDevUtilitiesDialog::OnMidiDebug);

    auto* group = new QGroupBox(QStringLiteral("Add'l Freq Values"), this);
    Place(group, 7, 50, 156, 28);
    auto* exclusive = new QButtonGroup(this);
    for (int n = 0; n < kRadioCount; ++n) {
        auto* radio = new QRadioButton(QString::number(n), this);
        named(radio, 3164 + n);
        Place(radio, 13 + n * 19, 62, 18, 10);
        exclusive->addButton(radio, n);
        radios[static_cast<std::size_t>(n)] = radio;
        connect(radio, &QRadioButton::clicked, this, [this, n] { OnExtraPoints(n); });
    }

    factoryReset =
        new QPushButton(QStringLiteral("&Initialize current unit to factory defaults"), this);
    simulateTimeout = new QPushButton(QStringLiteral("Simulate serial &timeout"), this);
    update = new QPushButton(QStringLiteral("Update"), this);
    exitButton = new QPushButton(QStringLiteral("Exit"), this);
    named(factoryReset, 3161);
    named(simulateTimeout, 3163);
    named(update, 3172);
    named(exitButton, 1);
    Place(factoryReset, 170, 7, 143, 14);
    Place(simulateTimeout, 170, 24, 143, 14);
    Place(update, 170, 47, 68, 14);
    Place(exitButton, 245, 47, 68, 14);
    connect(factoryReset, &QPushButton::clicked, this, &CDevUtilitiesDialog::OnFactoryReset);
    connect(simulateTimeout, &QPushButton::clicked, this, &CDevUtilitiesDialog::OnSimulateTimeout);
    connect(update, &QPushButton::clicked, this, &CDevUtilitiesDialog::Refresh);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::hide);

    dumpEdit = new QPlainTextEdit(this);
    named(dumpEdit, 3157);
    dumpEdit->setReadOnly(true);
    dumpEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    dumpEdit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Place(dumpEdit, 7, 84, 306, 171);
}

QRadioButton* CDevUtilitiesDialog::ExtraPointsRadio(int n) const {
    return n >= 0 && n < kRadioCount ? radios[static_cast<std::size_t>(n)] : nullptr;
}

void CDevUtilitiesDialog::Bind(CPageDialog* graphic, CPageDialog* parametric) {
    graphicPage = graphic;
    parametricPage = parametric;
}

CPageDialog* CDevUtilitiesDialog::VisibleEqPage() const {
    for (CPageDialog* page : {graphicPage.data(), parametricPage.data()}) {
        if (page != nullptr && page->isVisible()) return page;
    }
    return nullptr;
}

void CDevUtilitiesDialog::Refresh() {
    const CurveDisplayOptions& options = SharedCurveDisplayOptions();
    powerSpectrum->setChecked(options.drawCurve);
    realTimeUpdate->setChecked(doc.Bus().IsStatusPolling() != 0);
    midiDebug->setChecked(doc.Bus().MidiDebug() != 0);

    CPageDialog* page = VisibleEqPage();
    auto* source = dynamic_cast<IResponseDumpSource*>(page);
    dump = source != nullptr ? source->ResponseDump() : std::string();
    QString shown = QString::fromLatin1(dump.data(), static_cast<qsizetype>(dump.size()));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    dumpEdit->setPlainText(shown);

    if (page != nullptr) {
        for (int n = 0; n < kRadioCount; ++n) {
            radios[static_cast<std::size_t>(n)]->setChecked(n == options.extraPoints);
        }
    }
    RefreshOnlineState();
}

void CDevUtilitiesDialog::RefreshOnlineState() {
    factoryReset->setEnabled(doc.IsOnline() != 0);
}

void CDevUtilitiesDialog::RefreshEqPages() {
    for (CPageDialog* page : {graphicPage.data(), parametricPage.data()}) {
        if (page != nullptr) page->UpdatePage(0);
    }
}

void CDevUtilitiesDialog::OnPowerSpectrum(bool on) {
    SharedCurveDisplayOptions().drawCurve = on;
    RefreshEqPages();
}

void CDevUtilitiesDialog::OnRealTimeUpdate(bool on) {
    doc.Bus().SetStatusPolling(on ? 1 : 0);
}

void CDevUtilitiesDialog::OnMidiDebug(bool on) {
    doc.Bus().SetMidiDebug(on ? 1 : 0);
    midiDebug->setChecked(doc.Bus().MidiDebug() != 0);
}

void CDevUtilitiesDialog::OnExtraPoints(int n) {
    SharedCurveDisplayOptions().extraPoints =
        std::clamp(n, FrequencyGrid::kMinExtraPoints, FrequencyGrid::kMaxExtraPoints);
    RefreshEqPages();
}

void CDevUtilitiesDialog::OnFactoryReset() {
    // Offline there is no device to reset, and the reset would drop unsaved edits.
    RefreshOnlineState();
    if (doc.IsOnline() == 0) return;
    if (AskQuestion(doc.Ui(), kFactoryQuestion, ButtonSet::OkCancel) != UiAnswer::Ok) return;
    doc.FactoryInitialise();
}

void CDevUtilitiesDialog::OnSimulateTimeout() {
    doc.Bus().Link().simulateTimeoutOnce.store(1);
}

}  // namespace arvestra
