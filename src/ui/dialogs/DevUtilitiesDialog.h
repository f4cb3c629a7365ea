#pragma once

#include <QPointer>

#include <array>
#include <string>

#include "ui/dialogs/UnitDialog.h"

class QCheckBox;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace arvestra {

class CPageDialog;
class CQ7310Doc;

// "Development Utilities" (dialog 179), the hidden modeless window for the makers of the
// device: whether the equaliser pages draw the combined response (3158), whether the worker
// polls the meters (3159), the device's debug mode (3160), the grid density radios "0" to "7"
// (3164-3171), the factory reset of the current device (3161, offered only online), a
// one-shot simulated serial time-out (3163), "Update" (3172), "Exit" (1) and the response dump
// of the equaliser page on screen (3157). It lives as long as the main view; Exit hides it.
class CDevUtilitiesDialog : public CUnitDialog {
    Q_OBJECT
  public:
    static constexpr int kTemplateId = 179;
    static constexpr int kRadioCount = 8;

    CDevUtilitiesDialog(CQ7310Doc& doc, QWidget* parent);

    // The graphic and parametric equaliser pages whose curves the switches change and whose
    // response is dumped (either may be null).
    void Bind(CPageDialog* graphicPage, CPageDialog* parametricPage);
    // The check boxes from their flags, the dump of the visible equaliser page (graphic first),
    // the radio of the grid density when an equaliser page is visible, and the factory reset
    // enabled only while online.
    void Refresh();
    // Enables the factory reset while the application is online.
    void RefreshOnlineState();
    // The dump exactly as produced (lines ending in CR LF).
    const std::string& DumpText() const { return dump; }

    QCheckBox* PowerSpectrumBox() const { return powerSpectrum; }
    QCheckBox* RealTimeUpdateBox() const { return realTimeUpdate; }
    QCheckBox* MidiDebugBox() const { return midiDebug; }
    QRadioButton* ExtraPointsRadio(int n) const;
    QPushButton* FactoryResetButton() const { return factoryReset; }
    QPushButton* SimulateTimeoutButton() const { return simulateTimeout; }
    QPushButton* UpdateButton() const { return update; }
    QPushButton* ExitButton() const { return exitButton; }
    QPlainTextEdit* DumpEdit() const { return dumpEdit; }

  public slots:
    void OnPowerSpectrum(bool on);
    void OnRealTimeUpdate(bool on);
    void OnMidiDebug(bool on);
    // Radio k: k extra grid points on both equaliser pages, which rebuild and redraw.
    void OnExtraPoints(int n);
    // Asks first; Cancel sends nothing.
    void OnFactoryReset();
    void OnSimulateTimeout();

  private:
    void BuildControls();
    // Both equaliser pages refresh through the page framework (full recomputation).
    void RefreshEqPages();
    // The visible equaliser page that can dump, graphic first; null when none is.
    CPageDialog* VisibleEqPage() const;

    CQ7310Doc& doc;
    QPointer<CPageDialog> graphicPage;
    QPointer<CPageDialog> parametricPage;
    std::string dump;
    QCheckBox* powerSpectrum = nullptr;
    QCheckBox* realTimeUpdate = nullptr;
    QCheckBox* midiDebug = nullptr;
    std::array<QRadioButton*, kRadioCount> radios{};
    QPushButton* factoryReset = nullptr;
    QPushButton* simulateTimeout = nullptr;
    QPushButton* update = nullptr;
    QPushButton* exitButton = nullptr;
    QPlainTextEdit* dumpEdit = nullptr;
};

}  // namespace arvestra
