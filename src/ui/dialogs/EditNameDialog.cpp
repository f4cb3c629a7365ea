#include "ui/dialogs/EditNameDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace arvestra {

CEditNameDialog::CEditNameDialog(Kind kind, const QString& name, QWidget* parent)
    : CUnitDialog(kind == Kind::Preset ? QStringLiteral("Edit Preset Name")
                                       : QStringLiteral("Edit Device Name"),
                  186, 50, parent) {
    auto* label = new QLabel(
        kind == Kind::Preset ? QStringLiteral("&Preset Name:") : QStringLiteral("&Device Name:"),
        this);
    Place(label, 7, 7, 120, 8);
    field = new QLineEdit(name, this);
    field->setMaxLength(kMaxLength);
    field->selectAll();
    label->setBuddy(field);
    Place(field, 7, 17, 172, 12);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    ok->setDefault(true);
    Place(ok, 75, 33, 50, 14);
    Place(cancel, 129, 33, 50, 14);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString CEditNameDialog::Name() const {
    return field->text();
}

bool CEditNameDialog::Edit(Kind kind, const QString& name, QWidget* parent, QString& result) {
    CEditNameDialog dialog(kind, name, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    result = dialog.Name();
    return true;
}

}  // namespace arvestra
