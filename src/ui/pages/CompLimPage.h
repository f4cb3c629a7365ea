#pragma once

#include <array>
#include <vector>

#include "ui/pages/CompLimPageGeometry.h"
#include "ui/pages/PageDialog.h"

class QLabel;
class QLineEdit;

namespace arvestra {

class CPanelSlider;

// The compressor/limiter page: the compressor/limiter block of one channel (template 147). The
// left half edits the low band (band 1), the right half the high band (band 2); in full-range
// mode the low band is disabled and the high band is the full band. Each band shows its static
// transfer curve with a threshold handle and a ratio handle that can be dragged. A value field
// is committed when it loses the focus, and Enter commits all nine; only fields whose text the
// user changed are stored.
class CCompLimPage : public CPageDialog {
    Q_OBJECT
  public:
    static constexpr int kTemplateId = 147;
    static constexpr int kBitmapId = 134;
    // The selected-block code of channel A's compressor/limiter; any other shows channel B.
    static constexpr int kCompLimABlock = 5;

    // The values that have a slider and an edit.
    enum class Value { Crossover, Attack, Release, Threshold, Ratio };

    // One band's controls.
    struct Band {
        std::array<CPanelSlider*, 4> sliders{};  // attack, release, threshold, ratio
        std::array<QLineEdit*, 4> edits{};
        CPanelSlider* gain = nullptr;
        CColorButton* soft = nullptr;
        CColorButton* medium = nullptr;
        CColorButton* hard = nullptr;
        QLabel* title = nullptr;
        std::array<QLabel*, 3> scale{};  // top, middle, bottom
        PixelRect graph;
        TransferPlot plot;
        PixelPoint threshold;
        PixelPoint ratio;
        BandHandles handles;
    };

    CCompLimPage(IPageHost& host, QWidget* parent);

    int GetBitmapId() const override { return kBitmapId; }
    void UpdatePage(int unused) override;

    // The channel the page shows: 0 for Comp/Lim A, 1 otherwise.
    int Channel() const;

    const Band& BandControls(int band) const { return bands[band == 0 ? 0 : 1]; }
    CColorButton* BypassButton() const { return bypass; }
    CColorButton* SplitBandButton() const { return splitBand; }
    CColorButton* FullRangeButton() const { return fullRange; }
    CPanelSlider* CrossoverSlider() const { return crossoverSlider; }
    QLineEdit* CrossoverEdit() const { return crossoverEdit; }
    HandleDrag Drag() const { return drag; }
    int DraggedBand() const { return dragBand; }

  protected:
    void OnInitDialog() override;
    void OnOK() override;
    void PaintArtwork(QPainter& painter) override;
    void PaintPage(QPainter& painter) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    // One value field: what it edits, for which band, with its slider.
    struct ValueField {
        Value value;
        int band;
        QLineEdit* edit;
        CPanelSlider* slider;
    };

    void BuildBand(int band);
    QLineEdit* MakeEdit(int id);
    CPanelSlider* MakeSlider(int id);
    CColorButton* MakeButton(int id, const QString& text);
    bool HasData() const;
    int Code(Value value, int band) const;
    void StoreCode(Value value, int band, long long code);
    // Rewrites a field's edit and slider from the stored code.
    void ShowField(const ValueField& field);
    const ValueField* FieldOfEdit(const QObject* edit) const;
    // Stores what the user typed into a field; false when the text was not changed.
    bool CommitField(const ValueField& field);
    void OnSliderMoved(const ValueField& field, int position);
    void OnGainMoved(int band, int position);
    void ShowGain(int band);
    void ShowKnee(int band);
    void ShowScaleLabels(int band);
    void RecomputeCurve(int band);
    void OnMode(int mode);
    void OnKnee(int band, int knee);
    void OnBypass();
    void DragTo(PixelPoint pointer);
    void EndDrag();

    CColorButton* bypass = nullptr;
    CColorButton* splitBand = nullptr;
    CColorButton* fullRange = nullptr;
    CPanelSlider* crossoverSlider = nullptr;
    QLineEdit* crossoverEdit = nullptr;
    std::array<Band, 2> bands{};
    std::vector<ValueField> fields;
    HandleDrag drag = HandleDrag::Idle;
    int dragBand = -1;
    PixelPoint last;
};

}  // namespace arvestra
