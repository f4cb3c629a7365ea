#pragma once

#include <QWidget>

#include <array>
#include <memory>

#include "document/EditEvent.h"
#include "ui/dialogs/DialogUnits.h"
#include "ui/pages/BlockTable.h"
#include "ui/pages/PageHost.h"
#include "ui/pages/Picture.h"
#include "ui/shell/FrameView.h"
#include "ui/view/ChainMapGeometry.h"

class QLabel;

namespace arvestra {

class CAppSettings;
class CColorButton;
class CDevUtilitiesDialog;
class CLedIndicator;
class CLevelMeter;
class CPageDialog;
class CPanelSlider;
class CQ7310Doc;
class CToolTipControl;

// The single view of the main window. Above, a page area shows one of the five editing pages;
// below, a strip holds the input and output level sliders of both channels, eight meters, two
// indicator lamps and a small read-only map of the two signal chains with its "Edit" button,
// and the "Online"/"Offline" label sits at the top left. The view owns the pages, switches
// between them, handles the View menu and the Edit commands, keeps the strip in step with the
// document and moves the meters on every refresh command the worker posts.
class CQ7310View : public QWidget, public IFrameView, public IPageHost {
    Q_OBJECT
  public:
    CQ7310View(CQ7310Doc& doc, CAppSettings& settings, QWidget* parent = nullptr);
    ~CQ7310View() override;

    // IFrameView.
    QWidget* Widget() override { return this; }
    bool OnCommand(CommandId id) override;
    bool CommandState(CommandId id, bool& enabled, bool& checked) override;
    // Hints 0 and 1: full refresh; 2: chain buttons only; 3 (a document was loaded): back to
    // the configuration page and a full refresh; others are ignored.
    void OnUpdate(int hint) override;
    // First showing: colours, ranges, the frame fitted to the picture, the pages, the chain
    // geometry, the tool tip; then the configuration page and a full refresh. Runs once.
    void OnInitialUpdate() override;

    // IPageHost.
    IPageDocument* HostDocument() override;
    void PostViewCommand(CommandId command) override;
    void RunFrameCommand(CommandId command) override;
    bool RunSelectDeviceDialog(QWidget* parent) override;
    void RunSelectPresetDialog(QWidget* parent) override;

    // Shows the page of a kind for a block (EqForBlock picks the graphic or parametric page);
    // does nothing when that block's page is already shown.
    void ShowPage(PageKind kind, int block);
    // Relabels, recolours, shows or hides the chain buttons from the current preset.
    void RefreshChainButtons();
    // The refresh command: meters, lamps, following the device's preset, the offline check.
    void OnMeterRefresh();

    // State and parts, for the frame and for tests.
    bool IsInitialised() const { return initialised; }
    int CurrentBlock() const { return currentBlock; }
    // The page of a kind 0..4, or nullptr before the first showing.
    CPageDialog* Page(PageKind kind) const;
    // The page on screen, or nullptr.
    CPageDialog* VisiblePage() const;
    // Sliders in refresh order: 0 Ch 1 input, 1 Ch 2 input, 2 Ch 1 output, 3 Ch 2 output.
    CPanelSlider* LevelSlider(int index) const;
    // The read-out of a slider's tip, "%.1f dB".
    QString SliderTipText(int index) const;
    // Meters by control id 1127..1134, or nullptr.
    CLevelMeter* Meter(int id) const;
    // Lamps: channel 0 (Ch 1) and 1 (Ch 2).
    CLedIndicator* Lamp(int channel) const;
    CColorButton* ChainButton(int slot) const;
    CColorButton* EditButton() const { return editButton; }
    QLabel* OnlineLabel() const { return onlineLabel; }
    CToolTipControl& ToolTip() const { return *toolTip; }
    // The development utilities window, made at the first showing (hidden until asked for).
    CDevUtilitiesDialog* DevUtilities() const { return devUtils; }
    const ChainGeometry& Chain() const { return chainGeometry; }
    const DialogBaseUnits& Units() const { return units; }
    // The background picture's rectangle in view pixels.
    PixelRect PictureRectangle() const { return pictureRect; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void BuildControls();
    void CreatePages();
    void FullRefresh();
    void RefreshSlider(int index);
    void RefreshOnlineLabel();
    // Meters and lamps from the last poll when live, else all dark.
    void ShowMeters(bool live);
    void OnSliderMoved(int index, int value);
    void OnChainButton(int slot);
    void ShowConfiguration();
    // Runs a View command when its block occupies a chain slot; false for other ids.
    bool RunViewCommand(CommandId id);
    void FitFrameToPicture();
    PageKind ResolveKind(PageKind kind, int block) const;
    void PaintChainMap(QPainter& painter) const;
    bool AnyDevicePresent() const;
    // Command 32821: binds the utilities to the equaliser pages, refreshes, shows and raises it.
    void ShowDevUtilities();
    // The copy command: the copy wizard, modal, for the document.
    void RunCopyWizard();
    // An edit made elsewhere (the remote page, undo, a script): the view and the page shown
    // refresh once the current event is done, however many edits it made.
    void FollowEdit(const EditEvent& event);

    CQ7310Doc& doc;
    CAppSettings& settings;
    DialogBaseUnits units;
    Picture picture;
    PixelRect pictureRect;
    QLabel* onlineLabel = nullptr;
    std::array<CLedIndicator*, 2> lamps{};
    std::array<CColorButton*, kChainSlotCount> chainButtons{};
    CColorButton* editButton = nullptr;
    std::array<CLevelMeter*, 8> meters{};
    std::array<CPanelSlider*, 4> sliders{};
    CToolTipControl* toolTip = nullptr;
    bool initialised = false;
    std::array<CPageDialog*, kPageCount> pages{};
    int currentBlock = 0;
    ChainGeometry chainGeometry;
    CDevUtilitiesDialog* devUtils = nullptr;
    EditListenerId editListener = 0;
    bool refreshQueued = false;
};

}  // namespace arvestra
