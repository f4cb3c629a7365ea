#pragma once

#include <array>
#include <functional>

#include "model/ParamField.h"
#include "ui/controls/PixelRect.h"
#include "ui/pages/FilterPage.h"

namespace arvestra {

// The parametric EQ page: the 10-band parametric equaliser of one channel (template 151). Each
// band has a frequency, a bandwidth and a gain slider, a "Bypass" button and a dot on the graph
// that is dragged in frequency and gain at once; the mouse wheel over a dot changes its
// bandwidth. "Flat", "EQ Bypass" and the "Graphic"/"Parametric" switch complete the page.
class CParametricEqPage : public CFilterPage {
    Q_OBJECT
  public:
    static constexpr int kTemplateId = 151;
    static constexpr int kBitmapId = 148;
    static constexpr int kBands = 10;
    // Bandwidth codes per wheel notch over a dot (Ctrl: 1).
    static constexpr int kWheelStep = 2;
    // Shift with an arrow key moves a slider this many codes.
    static constexpr int kLargeKeyStep = 6;

    enum class MouseState { Idle, Dragging };
    enum SliderKind { Frequency = 0, Bandwidth = 1, Gain = 2 };

    CParametricEqPage(IPageHost& host, QWidget* parent);

    int GetBitmapId() const override { return kBitmapId; }
    double GetGraphTopDb() const override;
    double GetGraphBottomDb() const override;
    double GetGraphLowHz() const override;
    double GetGraphHighHz() const override;

    // Refreshes the base part, the edited channel and editability, the buttons, every band's
    // sliders and dot, and the focus (while shown).
    void UpdatePage(int hint) override;

    int EditedChannel() const { return editedChannel_; }
    bool IsEditable() const { return editable_; }
    MouseState State() const { return state_; }
    CPanelSlider* BandSlider(int band, SliderKind kind) const;
    CColorButton* BandBypassButton(int band) const;
    PixelPoint DotCentre(int band) const;
    PixelRect DotRectOf(int band) const;
    // Tips: the slider of a kind, and the dot ("Band %d: %.0f Hz, %.2f bw, %.1f dB").
    QString SliderTipText(int band, SliderKind kind) const;
    QString DotTipText(int band) const;

    CColorButton* EqBypassButton() const { return eqBypass_; }
    CColorButton* FlatButton() const { return flat_; }
    CColorButton* GraphicButton() const { return graphic_; }
    CColorButton* ParametricButton() const { return parametric_; }

    // Imports a filter list into the edited channel's bands as one undo step. Lines that cannot
    // be imported as they stand are put to acceptProblems (the report, one line each); nothing
    // is changed unless it answers true. False with `message` set when nothing was imported;
    // on success `message` says how close the bands come to the file's response.
    bool ImportFilters(const QString& path,
                       const std::function<bool(const QString& report)>& acceptProblems,
                       QString& message);

  protected:
    void OnInitDialog() override;
    int EqEditedChannel() const override { return editedChannel_; }
    bool EqEditable() const override { return editable_; }
    EqKind PageEqKind() const override { return EqKind::Parametric; }
    // "Import Filters...": a measurement program's filter list as the edited channel's bands.
    void AddContextActions(QMenu& menu) override;
    void PaintDots(QPainter& painter) override;
    void AddPageArtwork(Picture& picture) const override;
    double GridDbStep() const override { return 10.0; }
    double LabelDbStep() const override { return 10.0; }
    QWidget* DefaultFocusWidget() const override;
    void RefreshPathDependents() override;
    void EndGesture() override;
    void OnGridRebuilt() override;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void AskImportFilters();
    struct Band {
        std::array<CPanelSlider*, 3> sliders{};
        CColorButton* bypass = nullptr;
        int dotX = 0;
        int dotY = 0;
        PixelRect dot;
    };

    void BuildControls();
    int DotAt(const QPoint& point) const;
    int Code(ParamField field, int band) const;
    void PlaceDot(int band);
    void RefreshBandSliders(int band);
    void OnBandSlider(int band, SliderKind kind, int position);
    void StoreCode(int band, SliderKind kind, int code);
    void MoveDot(int band, int x, int y);
    void EndDrag();
    void ShowEqPage();
    void OnBandBypass(int band);
    void OnEqBypass();
    void OnFlat();
    void OnGraphic();
    void MarkDirty();

    std::array<Band, kBands> bands_{};
    CColorButton* eqBypass_ = nullptr;
    CColorButton* flat_ = nullptr;
    CColorButton* graphic_ = nullptr;
    CColorButton* parametric_ = nullptr;
    int editedChannel_ = 0;
    bool editable_ = false;
    MouseState state_ = MouseState::Idle;
    int dragBand_ = -1;
    int lastX_ = 0;
    int lastY_ = 0;
    int hoveredBand_ = -1;
    int wheelRemainder_ = 0;
};

}  // namespace arvestra
