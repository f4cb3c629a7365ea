#include "ui/dialogs/NewDeviceAddressDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/UiPort.h"

namespace arvestra {

CNewDeviceAddressDialog::CNewDeviceAddressDialog(int current, UiPort& uiPort, QWidget* parent)
    : CUnitDialog(QStringLiteral("New Device Address"), 150, 50, parent),
      ui(uiPort),
      address(current) {
    auto* label = new QLabel(QStringLiteral("&Device Address:"), this);
    Place(label, 7, 9, 60, 8);
    field = new QLineEdit(QString::number(current), this);
    field->setMaxLength(8);
    field->selectAll();
    label->setBuddy(field);
    Place(field, 70, 7, 40, 12);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    ok->setDefault(true);
    Place(ok, 39, 31, 50, 14);
    Place(cancel, 93, 31, 50, 14);
    connect(ok, &QPushButton::clicked, this, &CNewDeviceAddressDialog::OnOk);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<int> CNewDeviceAddressDialog::ParseAddress(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok || value < 1 || value > kMaxAddress) {
        return std::nullopt;
    }
    return value;
}

QString CNewDeviceAddressDialog::RangeMessage() {
    return QString::fromLatin1(kRangeMessageFormat)
        .replace(QStringLiteral("%d"), QString::number(kMaxAddress));
}

void CNewDeviceAddressDialog::OnOk() {
    if (const std::optional<int> parsed = ParseAddress(field->text())) {
        address = *parsed;
        accept();
        return;
    }
    UiQuestion question;
    question.title = kAppTitle;
    question.text = RangeMessage().toStdString();
    question.buttons = ButtonSet::OkCancel;
    question.icon = IconKind::Warning;
    if (ui.Ask(question) == UiAnswer::Ok) {
        field->setFocus();
        field->selectAll();
        return;
    }
    reject();
}

bool CNewDeviceAddressDialog::Edit(int current, UiPort& ui, QWidget* parent, int& result) {
    CNewDeviceAddressDialog dialog(current, ui, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    result = dialog.Address();
    return true;
}

}  // namespace arvestra
