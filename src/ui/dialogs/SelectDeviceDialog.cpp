#include "ui/dialogs/SelectDeviceDialog.h"

#include <QListWidget>
#include <QPushButton>

#include "document/CQ7310Doc.h"
#include "ui/dialogs/DeviceListRows.h"
#include "ui/dialogs/EditNameDialog.h"
#include "ui/dialogs/NameText.h"

namespace arvestra {

CSelectDeviceDialog::CSelectDeviceDialog(CQ7310Doc& document, int initialAddress, QWidget* parent)
    : CUnitDialog(QStringLiteral("Select Device"), 211, 122, parent),
      doc(document),
      selectedAddress(initialAddress) {
    list = new QListWidget(this);
    Place(list, 7, 7, 120, 108);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    editName = new QPushButton(QStringLiteral("&Edit Device Name"), this);
    Place(ok, 134, 7, 70, 14);
    Place(cancel, 134, 24, 70, 14);
    Place(editName, 134, 101, 70, 14);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(editName, &QPushButton::clicked, this, &CSelectDeviceDialog::OnEditDeviceName);
    connect(list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    selectedRow = FillDeviceList(list, doc.Devices(), initialAddress, -1);
    connect(list, &QListWidget::currentRowChanged, this, &CSelectDeviceDialog::OnRowChanged);
}

void CSelectDeviceDialog::OnRowChanged(int row) {
    if (row < 0) {
        return;
    }
    selectedRow = row;
    selectedAddress = AddressOfRow(list, row);
}

bool CSelectDeviceDialog::AskDeviceName(const QString& current, QString& result) {
    return CEditNameDialog::Edit(CEditNameDialog::Kind::Device, current, this, result);
}

void CSelectDeviceDialog::OnEditDeviceName() {
    if (selectedRow < 0) {
        return;
    }
    const int address = selectedAddress;
    QString name;
    if (!AskDeviceName(NameToDisplay(doc.Devices().GetDeviceName(address)), name)) {
        return;
    }
    if (doc.SetDeviceName(NameFromDisplay(name), address) == 0) {
        return;  // reported already; the list stays as it was
    }
    const QSignalBlocker blocker(list);
    selectedRow = FillDeviceList(list, doc.Devices(), address, selectedRow);
    selectedAddress = AddressOfRow(list, selectedRow);
    doc.Ui().DocumentChanged();
}

bool CSelectDeviceDialog::Run(CQ7310Doc& doc, QWidget* parent) {
    CSelectDeviceDialog dialog(doc, doc.Devices().CurrentAddress(), parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    return doc.EditDevice(dialog.SelectedAddress()) != 0;
}

}  // namespace arvestra
