#pragma once

#include <functional>

#include "ui/dialogs/UnitDialog.h"

class QPushButton;

namespace arvestra {

// "Go Online" (dialog 173): the three ways of going online and Cancel. "&Upload From Devices"
// first asks whether the current location may be overwritten and closes only on Yes.
class CGoOnlineDialog : public CUnitDialog {
    Q_OBJECT
  public:
    // Results of Choose: the id of the button pressed, or kCancel.
    static constexpr int kCreateNew = 1016;
    static constexpr int kUpload = 1017;
    static constexpr int kDownload = 1018;
    static constexpr int kCancel = 2;

    // `confirmUpload` asks whether the open location may be overwritten; true on Yes.
    CGoOnlineDialog(std::function<bool()> confirmUpload, QWidget* parent);

    // Shows the dialog modally and returns the choice.
    int Choose();
    // The choice made so far (kCancel until a button closes the dialog).
    int Choice() const { return choice; }

    QPushButton* CreateNewButton() const { return createNew; }
    QPushButton* UploadButton() const { return upload; }
    QPushButton* DownloadButton() const { return download; }
    QPushButton* CancelButton() const { return cancel; }

  private:
    void Finish(int result);
    void OnUpload();

    std::function<bool()> confirmUpload;
    int choice = kCancel;
    QPushButton* createNew = nullptr;
    QPushButton* upload = nullptr;
    QPushButton* download = nullptr;
    QPushButton* cancel = nullptr;
};

}  // namespace arvestra
