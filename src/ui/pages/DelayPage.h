#pragma once

#include "ui/pages/PageDialog.h"

class QLineEdit;

namespace arvestra {

class CPanelSlider;

// The delay page: the delay block of one channel (template 142). The delay is shown as a time
// and as the distance sound travels in that time at the channel's air temperature; a typed time
// or distance is stored as the nearest sample count, and a new temperature keeps the distance.
// A field is committed when it loses the focus, and only when the user changed its text, so
// tabbing through the fields never moves the delay.
class CDelayPage : public CPageDialog {
    Q_OBJECT
  public:
    static constexpr int kTemplateId = 142;
    static constexpr int kBitmapId = 132;
    // The selected-block code of channel A's delay; any other selection shows channel B.
    static constexpr int kDelayABlock = 3;

    CDelayPage(IPageHost& host, QWidget* parent);

    int GetBitmapId() const override { return kBitmapId; }
    void UpdatePage(int unused) override;

    // The temperature unit, one setting for the whole application (Fahrenheit at start, never
    // stored).
    static bool IsCelsius();
    static void SetCelsius(bool celsius);

    // The channel the page shows: 0 for Delay A, 1 otherwise.
    int Channel() const;

    QLineEdit* FeetEdit() const { return feet; }
    QLineEdit* MetresEdit() const { return metres; }
    QLineEdit* SecondsEdit() const { return seconds; }
    QLineEdit* TemperatureEdit() const { return temperature; }
    CPanelSlider* Slider() const { return slider; }
    CColorButton* BypassButton() const { return bypass; }
    CColorButton* DegFButton() const { return degF; }
    CColorButton* DegCButton() const { return degC; }
    CColorButton* DefaultsButton() const { return defaults; }

  protected:
    void OnInitDialog() override;
    void PaintArtwork(QPainter& painter) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    // Builds an edit or a button at its place in the template.
    QLineEdit* MakeEdit(int id);
    CColorButton* MakeButton(int id, const QString& text);
    // Stores what the user typed into a field and refreshes the page.
    void CommitField(QLineEdit* field);
    void OnSliderMoved(int samples);
    void OnBypass();
    void OnUnit(bool celsius);
    void OnDefaults();
    // True while the page has a document with a bound image to show.
    bool HasData() const;

    QLineEdit* feet = nullptr;
    QLineEdit* metres = nullptr;
    QLineEdit* seconds = nullptr;
    QLineEdit* temperature = nullptr;
    CPanelSlider* slider = nullptr;
    CColorButton* bypass = nullptr;
    CColorButton* degF = nullptr;
    CColorButton* degC = nullptr;
    CColorButton* defaults = nullptr;
};

}  // namespace arvestra
