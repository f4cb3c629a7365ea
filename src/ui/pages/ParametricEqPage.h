#pragma once

#include <array>
#include <functional>

#include "model/ParamField.h"
#include "ui/controls/PixelRect.h"
#include "ui/pages/FilterPage.h"
#include "ui/pages/ParametricEqPageGeometry.h"

namespace arvestra {

// The parametric EQ page: the 10-band parametric equaliser of one channel (template 151). Each
// band has a frequency, a bandwidth and a gain slider, a "Bypass" button and a dot on the graph
// that is dragged in frequency and gain at once; the mouse wheel over a dot changes its
// bandwidth. The rest of the page is the EQ pages' common base.
class CParametricEqPage : public CFilterPage {
    Q_OBJECT
  public:
    static constexpr int kTemplateId = 151;
    static constexpr int kBitmapId = 148;
    static constexpr int kBands = kParametricEqTraits.bands;
    // Bandwidth codes per wheel notch over a dot (Ctrl: 1).
    static constexpr int kWheelStep = 2;

    using MouseState = ParametricEqDrag;
    enum SliderKind { Frequency = 0, Bandwidth = 1, Gain = 2 };

    CParametricEqPage(IPageHost& host, QWidget* parent);

    int GetBitmapId() const override { return kBitmapId; }

    MouseState State() const { return state_; }
    CPanelSlider* BandSlider(int band, SliderKind kind) const;
    CColorButton* BandBypassButton(int band) const;
    // Tips: the slider of a kind, and the dot ("Band %d: %.0f Hz, %.2f bw, %.1f dB").
    QString SliderTipText(int band, SliderKind kind) const;
    QString DotTipText(int band) const override;

    // Imports a filter list into the edited channel's bands as one undo step. Lines that cannot
    // be imported as they stand are put to acceptProblems (the report, one line each); nothing
    // is changed unless it answers true. False with `message` set when nothing was imported;
    // on success `message` says how close the bands come to the file's response.
    bool ImportFilters(const QString& path,
                       const std::function<bool(const QString& report)>& acceptProblems,
                       QString& message);

  protected:
    void OnInitDialog() override;
    // "Import Filters...": a measurement program's filter list as the edited channel's bands.
    void AddContextActions(QMenu& menu) override;
    void AddPageArtwork(Picture& picture) const override;
    void RefreshBands() override;
    void FlattenBands() override;
    void ResetBand(int band) override;
    // A dot can be dragged even while the band controls are disabled.
    bool DotsMovable() const override { return true; }
    void EndGesture() override;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void AskImportFilters();
    struct Band {
        std::array<CPanelSlider*, 3> sliders{};
        CColorButton* bypass = nullptr;
    };

    void BuildControls();
    int Code(ParamField field, int band) const;
    void PlaceBandDot(int band);
    void RefreshBandSliders(int band);
    void OnBandSlider(int band, SliderKind kind, int position);
    void StoreCode(int band, SliderKind kind, int code);
    void MoveDot(int band, int x, int y);
    void EndDrag();
    void OnBandBypass(int band);

    std::array<Band, kBands> bands_{};
    MouseState state_ = MouseState::Idle;
    int lastX_ = 0;
    int lastY_ = 0;
    int wheelRemainder_ = 0;
};

}  // namespace arvestra
