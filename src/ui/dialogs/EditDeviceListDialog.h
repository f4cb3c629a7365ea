#pragma once

#include "ui/dialogs/UnitDialog.h"

class QListWidget;
class QPushButton;

namespace arvestra {

class CQ7310Doc;

// "Edit Device List" (dialog 176): the device list (3113) with "&Add Device" (3172),
// "&Delete Device" (3173), "&Change Address" (3174), "Change &Name" (1016) and "Done". Every
// change goes straight to the location model. Add is enabled only below 126 devices, Delete only
// above one.
class CEditDeviceListDialog : public CUnitDialog {
    Q_OBJECT
  public:
    static constexpr const char* kDeleteQuestionFormat =
        "Are you sure you want to delete the device at address %d?";

    CEditDeviceListDialog(CQ7310Doc& doc, QWidget* parent);

    int SelectedRow() const { return selectedRow; }
    // The address of the selected row (0 when none).
    int SelectedAddress() const;
    QListWidget* List() const { return list; }
    QPushButton* AddButton() const { return addButton; }
    QPushButton* DeleteButton() const { return deleteButton; }
    QPushButton* ChangeAddressButton() const { return changeAddressButton; }
    QPushButton* ChangeNameButton() const { return changeNameButton; }

    // Edit menu "&Device List...": runs the dialog; afterwards the device being edited is one
    // that still exists.
    static void Run(CQ7310Doc& doc, QWidget* parent);

  public slots:
    void OnAddDevice();
    void OnDeleteDevice();
    void OnChangeAddress();
    void OnChangeName();

  protected:
    // Ask for a new address / a new name; true with the value on OK (tests replace them).
    virtual bool AskNewAddress(int current, int& result);
    virtual bool AskDeviceName(const QString& current, QString& result);

  private:
    void Refill(int selectAddress);
    void UpdateButtons();

    CQ7310Doc& doc;
    QListWidget* list = nullptr;
    QPushButton* addButton = nullptr;
    QPushButton* deleteButton = nullptr;
    QPushButton* changeAddressButton = nullptr;
    QPushButton* changeNameButton = nullptr;
    int selectedRow = 0;
};

}  // namespace arvestra
