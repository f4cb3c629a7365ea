#include "ui/dialogs/GoOnlineDialog.h"

#include <QPushButton>

#include <utility>

namespace arvestra {

CGoOnlineDialog::CGoOnlineDialog(std::function<bool()> confirm, QWidget* parent)
    : CUnitDialog(QStringLiteral("Go Online"), 142, 92, parent), confirmUpload(std::move(confirm)) {
    createNew = new QPushButton(QStringLiteral("Create &New Location File"), this);
    upload = new QPushButton(QStringLiteral("&Upload From Devices"), this);
    download = new QPushButton(QStringLiteral("&Download To Devices"), this);
    cancel = new QPushButton(QStringLiteral("Cancel"), this);
    Place(createNew, 21, 7, 100, 14);
    Place(upload, 21, 27, 100, 14);
    Place(download, 21, 47, 100, 14);
    Place(cancel, 46, 71, 50, 14);
    for (QPushButton* button : {createNew, upload, download, cancel}) {
        button->setAutoDefault(false);
    }
    createNew->setDefault(true);
    connect(createNew, &QPushButton::clicked, this, [this] { Finish(kCreateNew); });
    connect(upload, &QPushButton::clicked, this, &CGoOnlineDialog::OnUpload);
    connect(download, &QPushButton::clicked, this, [this] { Finish(kDownload); });
    connect(cancel, &QPushButton::clicked, this, [this] { Finish(kCancel); });
}

int CGoOnlineDialog::Choose() {
    choice = kCancel;
    exec();
    return choice;
}

void CGoOnlineDialog::Finish(int result) {
    choice = result;
    if (result == kCancel) {
        reject();
    } else {
        accept();
    }
}

void CGoOnlineDialog::OnUpload() {
    if (confirmUpload && confirmUpload()) {
        Finish(kUpload);
    }
}

}  // namespace arvestra
