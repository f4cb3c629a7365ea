#include "ui/dialogs/RemoteControlDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkInterface>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "remote/QrCode.h"
#include "remote/RemoteServer.h"

namespace arvestra {

namespace {

// Pixels per module of the QR code: large enough for a phone held at arm's length.
constexpr int kQrModulePixels = 4;

// This computer's IPv4 addresses, loopback last (it only serves a browser on this computer).
QStringList LocalAddresses() {
    QStringList outward;
    QStringList loopback;
    for (const QHostAddress& a : QNetworkInterface::allAddresses()) {
        if (a.protocol() != QAbstractSocket::IPv4Protocol) continue;
        (a.isLoopback() ? loopback : outward).append(a.toString());
    }
    return outward + loopback;
}

QLineEdit* ReadOnlyField(QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setReadOnly(true);
    return field;
}

}  // namespace

CRemoteControlDialog::CRemoteControlDialog(remote::RemoteServer& server, QWidget* parent)
    : QDialog(parent), server(server) {
    setWindowTitle(QStringLiteral("Remote Control"));
    address = new QComboBox(this);
    address->addItem(QStringLiteral("None (remote control off)"));
    address->addItems(LocalAddresses());
    port = new QSpinBox(this);
    port->setRange(1, 65535);
    port->setValue(kDefaultPort);
    apply = new QPushButton(QStringLiteral("&Apply"), this);
    status = new QLabel(this);
    status->setWordWrap(true);
    code = ReadOnlyField(this);
    page = ReadOnlyField(this);
    watch = ReadOnlyField(this);
    fingerprint = ReadOnlyField(this);
    qr = new QLabel(this);
    qr->setAlignment(Qt::AlignCenter);
    qr->setAccessibleName(QStringLiteral("QR code of the page's address"));
    pages = new QTreeWidget(this);
    pages->setHeaderLabels(
        {QStringLiteral("Page"), QStringLiteral("Connected since"), QStringLiteral("Last change")});
    pages->setRootIsDecorated(false);
    pages->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    drop = new QPushButton(QStringLiteral("&Drop Page"), this);
    newCode = new QPushButton(QStringLiteral("&New Code"), this);
    newCode->setToolTip(
        QStringLiteral("Makes new access codes; every page is dropped and must "
                       "scan the new QR code."));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Listen on:"), address);
    form->addRow(QStringLiteral("&Port:"), port);
    form->addRow(QString(), apply);
    form->addRow(QStringLiteral("Access code:"), code);
    form->addRow(QStringLiteral("Page address:"), page);
    form->addRow(QStringLiteral("Watch only:"), watch);
    form->addRow(QStringLiteral("Certificate:"), fingerprint);
    auto* pageButtons = new QHBoxLayout;
    pageButtons->addWidget(drop);
    pageButtons->addWidget(newCode);
    pageButtons->addStretch();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        QStringLiteral("A phone or tablet on the same network scans the QR code (or opens the "
                       "page's address) to see the meters and change levels, equalisers and "
                       "presets of the device being edited. The connection is encrypted with "
                       "a certificate of this computer: the browser asks once to accept it; "
                       "its fingerprint is shown below."),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* top = new QHBoxLayout;
    top->addLayout(form, 1);
    top->addWidget(qr);
    layout->addLayout(top);
    layout->addWidget(new QLabel(QStringLiteral("Connected pages:"), this));
    layout->addWidget(pages);
    layout->addLayout(pageButtons);
    layout->addWidget(status);
    layout->addWidget(buttons);
    connect(apply, &QPushButton::clicked, this, &CRemoteControlDialog::Apply);
    connect(drop, &QPushButton::clicked, this, &CRemoteControlDialog::DropSelected);
    connect(newCode, &QPushButton::clicked, this, [this] {
        this->server.NewCodes();
        ShowState();
    });
    connect(pages, &QTreeWidget::itemSelectionChanged, this,
            [this] { drop->setEnabled(!pages->selectedItems().isEmpty()); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(&server, &remote::RemoteServer::ClientCountChanged, this,
            &CRemoteControlDialog::ShowState);
    connect(&server, &remote::RemoteServer::RemoteEdit, this, &CRemoteControlDialog::ShowPages);
    if (server.IsListening()) {
        const int index = address->findText(server.Host().toString());
        if (index > 0) address->setCurrentIndex(index);
        port->setValue(server.Port());
    }
    ShowState();
}

QString CRemoteControlDialog::ShownPageAddress() const {
    return page->text();
}

QString CRemoteControlDialog::ShownFingerprint() const {
    return fingerprint->text();
}

bool CRemoteControlDialog::ShowsQrCode() const {
    return !qr->pixmap().isNull();
}

QString CRemoteControlDialog::StatusText() const {
    return status->text();
}

void CRemoteControlDialog::Apply() {
    failure.clear();
    if (address->currentIndex() <= 0) {
        server.Stop();
    } else {
        const QHostAddress host(address->currentText());
        QString error;
        if (!server.Start(host, static_cast<quint16>(port->value()), &error)) failure = error;
    }
    ShowState();
}

void CRemoteControlDialog::ShowState() {
    const bool on = server.IsListening();
    code->setText(on ? server.Code() : QString());
    page->setText(server.PageAddress());
    watch->setText(server.ReadOnlyAddress());
    fingerprint->setText(on ? (server.IsSecure() ? "SHA-256 " + server.Fingerprint()
                                                 : QStringLiteral("none: plain HTTP"))
                            : QString());
    // Long texts show their beginning (the scheme, the fingerprint's first pairs).
    for (QLineEdit* field : {page, watch, fingerprint}) field->setCursorPosition(0);
    const std::optional<remote::QrCode> qrCode =
        on ? remote::QrCode::Encode(server.PageAddress().toStdString()) : std::nullopt;
    qr->setPixmap(qrCode ? QPixmap::fromImage(qrCode->ToImage(kQrModulePixels)) : QPixmap());
    newCode->setEnabled(on);
    if (!failure.isEmpty()) {
        status->setText(failure + QStringLiteral(" The remote control is off."));
    } else if (on) {
        status->setText(QStringLiteral("On: %1 page(s) connected.").arg(server.ClientCount()));
    } else {
        status->setText(QStringLiteral("Off."));
    }
    ShowPages();
}

void CRemoteControlDialog::ShowPages() {
    pages->clear();
    for (const remote::PageInfo& info : server.Pages()) {
        auto* item = new QTreeWidgetItem(pages);
        item->setText(0, info.peer + (info.readOnly ? QStringLiteral(" (watching)") : QString()));
        item->setText(1, info.since.toString("HH:mm:ss"));
        item->setText(2, info.lastChange.isNull() ? QStringLiteral("none")
                                                  : info.lastChange.toString("HH:mm:ss"));
        item->setData(0, Qt::UserRole, QVariant::fromValue<qulonglong>(info.id));
    }
    drop->setEnabled(!pages->selectedItems().isEmpty());
}

void CRemoteControlDialog::DropSelected() {
    for (QTreeWidgetItem* item : pages->selectedItems()) {
        server.DropPage(item->data(0, Qt::UserRole).toULongLong());
    }
    ShowPages();
}

}  // namespace arvestra
