#include "ui/dialogs/EditDeviceListDialog.h"

#include <QListWidget>
#include <QPushButton>

#include "document/CQ7310Doc.h"
#include "document/TextFormat.h"
#include "ui/dialogs/DeviceListRows.h"
#include "ui/dialogs/EditNameDialog.h"
#include "ui/dialogs/NameText.h"
#include "ui/dialogs/NewDeviceAddressDialog.h"

namespace arvestra {

CEditDeviceListDialog::CEditDeviceListDialog(CQ7310Doc& document, QWidget* parent)
    : CUnitDialog(QStringLiteral("Edit Device List"), 206, 122, parent), doc(document) {
    list = new QListWidget(this);
    Place(list, 7, 7, 120, 108);
    addButton = new QPushButton(QStringLiteral("&Add Device"), this);
    deleteButton = new QPushButton(QStringLiteral("&Delete Device"), this);
    changeAddressButton = new QPushButton(QStringLiteral("&Change Address"), this);
    changeNameButton = new QPushButton(QStringLiteral("Change &Name"), this);
    auto* done = new QPushButton(QStringLiteral("Done"), this);
    Place(addButton, 134, 7, 65, 14);
    Place(deleteButton, 134, 24, 65, 14);
    Place(changeAddressButton, 134, 41, 65, 14);
    Place(changeNameButton, 134, 58, 65, 14);
    Place(done, 134, 101, 65, 14);
    done->setDefault(true);
    connect(addButton, &QPushButton::clicked, this, &CEditDeviceListDialog::OnAddDevice);
    connect(deleteButton, &QPushButton::clicked, this, &CEditDeviceListDialog::OnDeleteDevice);
    connect(changeAddressButton, &QPushButton::clicked, this,
            &CEditDeviceListDialog::OnChangeAddress);
    connect(changeNameButton, &QPushButton::clicked, this, &CEditDeviceListDialog::OnChangeName);
    connect(done, &QPushButton::clicked, this, &QDialog::accept);

    selectedRow = FillDeviceList(list, doc.Devices(), -1, 0);
    connect(list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) {
            selectedRow = row;
        }
    });
    UpdateButtons();
}

int CEditDeviceListDialog::SelectedAddress() const {
    return AddressOfRow(list, selectedRow);
}

void CEditDeviceListDialog::Refill(int selectAddress) {
    const QSignalBlocker blocker(list);
    const int row = FillDeviceList(list, doc.Devices(), selectAddress, selectedRow);
    selectedRow = row < 0 ? 0 : row;
    UpdateButtons();
}

void CEditDeviceListDialog::UpdateButtons() {
    const int count = doc.Devices().CountPresentDevices();
    addButton->setEnabled(count < kMaxAddress);
    deleteButton->setEnabled(count > 1);
    changeAddressButton->setEnabled(count > 0);
    changeNameButton->setEnabled(count > 0);
}

void CEditDeviceListDialog::OnAddDevice() {
    if (doc.Devices().CountPresentDevices() >= kMaxAddress) {
        return;  // the button is disabled; a full table has no free address or slot
    }
    const int address = doc.AddDevice(-1);
    Refill(address);
    doc.Ui().DocumentChanged();
}

void CEditDeviceListDialog::OnDeleteDevice() {
    const int address = SelectedAddress();
    if (address <= 0 || doc.Devices().CountPresentDevices() <= 1) {
        return;
    }
    UiQuestion question;
    question.title = kAppTitle;
    question.text = FormatText(kDeleteQuestionFormat, address);
    question.buttons = ButtonSet::YesNo;
    question.icon = IconKind::Question;
    if (doc.Ui().Ask(question) != UiAnswer::Yes) {
        return;
    }
    doc.DeleteDevice(address);
    Refill(-1);
    doc.Ui().DocumentChanged();
}

bool CEditDeviceListDialog::AskNewAddress(int current, int& result) {
    return CNewDeviceAddressDialog::Edit(current, doc.Ui(), this, result);
}

void CEditDeviceListDialog::OnChangeAddress() {
    const int oldAddress = SelectedAddress();
    if (oldAddress <= 0) {
        return;
    }
    int newAddress = 0;
    if (!AskNewAddress(oldAddress, newAddress)) {
        return;
    }
    // The location model turns away a move onto the device's own address, which would
    // otherwise empty the address, and keeps the device being edited one that exists.
    doc.ChangeDeviceAddress(oldAddress, newAddress);
    const bool moved = doc.Devices().IsDevicePresent(oldAddress) == 0;
    Refill(moved ? newAddress : oldAddress);
    doc.Ui().DocumentChanged();
}

bool CEditDeviceListDialog::AskDeviceName(const QString& current, QString& result) {
    return CEditNameDialog::Edit(CEditNameDialog::Kind::Device, current, this, result);
}

void CEditDeviceListDialog::OnChangeName() {
    const int address = SelectedAddress();
    if (address <= 0) {
        return;
    }
    QString name;
    if (!AskDeviceName(NameToDisplay(doc.Devices().GetDeviceName(address)), name)) {
        return;
    }
    if (doc.SetDeviceName(NameFromDisplay(name), address) == 0) {
        return;
    }
    Refill(address);
    doc.Ui().DocumentChanged();
}

void CEditDeviceListDialog::Run(CQ7310Doc& doc, QWidget* parent) {
    CEditDeviceListDialog dialog(doc, parent);
    dialog.exec();
}

}  // namespace arvestra
