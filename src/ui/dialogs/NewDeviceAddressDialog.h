#pragma once

#include <optional>

#include "ui/dialogs/UnitDialog.h"

class QLineEdit;

namespace arvestra {

class UiPort;

// "New Device Address" (dialog 177): edit field 3152 with the address as "%d". OK accepts only
// an address from 1 to 126; anything else (0, 127, a negative number, text that is not a whole
// number) shows the range message with OK (back to the field) and Cancel (the dialog ends as
// cancelled).
class CNewDeviceAddressDialog : public CUnitDialog {
    Q_OBJECT
  public:
    static constexpr int kMaxAddress = 126;
    static constexpr const char* kRangeMessageFormat =
        "The device address must be between 1 and %d. Please enter a valid device address.";

    CNewDeviceAddressDialog(int address, UiPort& ui, QWidget* parent);

    // The address entered, once the dialog ended with OK.
    int Address() const { return address; }
    QLineEdit* Field() const { return field; }

    // The address a text stands for, when it is a whole number from 1 to 126.
    static std::optional<int> ParseAddress(const QString& text);
    // The range message with 126 filled in.
    static QString RangeMessage();

    // Runs the dialog for a device at `current`; true with the new address on OK.
    static bool Edit(int current, UiPort& ui, QWidget* parent, int& result);

  public slots:
    // The OK button: checks the text and closes, or shows the range message.
    void OnOk();

  private:
    UiPort& ui;
    int address;
    QLineEdit* field = nullptr;
};

}  // namespace arvestra
