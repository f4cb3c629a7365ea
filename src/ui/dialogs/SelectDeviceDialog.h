#pragma once

#include "ui/dialogs/UnitDialog.h"

class QListWidget;
class QPushButton;

namespace arvestra {

class CQ7310Doc;

// "Select Device" (dialog 169): the device list (3113) with the current device selected,
// "&Edit Device Name" (1016), OK and Cancel. The dialog only picks an address; the caller makes
// that device current on OK. A rename made here stays even when the dialog is cancelled.
class CSelectDeviceDialog : public CUnitDialog {
    Q_OBJECT
  public:
    CSelectDeviceDialog(CQ7310Doc& doc, int initialAddress, QWidget* parent);

    // The address of the selected row (the initial address until a row is chosen).
    int SelectedAddress() const { return selectedAddress; }
    int SelectedRow() const { return selectedRow; }
    QListWidget* List() const { return list; }
    QPushButton* EditNameButton() const { return editName; }

    // The page's "Device" button: runs the dialog and, on OK, makes the chosen device current
    // (online its information and edit buffer are read). True when a device was made current.
    static bool Run(CQ7310Doc& doc, QWidget* parent);

  public slots:
    // "&Edit Device Name": renames the selected device and refills the list.
    void OnEditDeviceName();

  protected:
    // Asks for the new name; true with the text on OK (tests replace it).
    virtual bool AskDeviceName(const QString& current, QString& result);

  private:
    void OnRowChanged(int row);

    CQ7310Doc& doc;
    QListWidget* list = nullptr;
    QPushButton* editName = nullptr;
    int selectedRow = -1;
    int selectedAddress;
};

}  // namespace arvestra
