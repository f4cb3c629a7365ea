#include "ui/dialogs/RemoteControlDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkInterface>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "remote/RemoteServer.h"

namespace arvestra {

namespace {

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

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Listen on:"), address);
    form->addRow(QStringLiteral("&Port:"), port);
    form->addRow(QString(), apply);
    form->addRow(QStringLiteral("Access code:"), code);
    form->addRow(QStringLiteral("Page address:"), page);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("A phone or tablet on the same network opens the page's address to see the "
                       "meters and change levels, equalisers and presets of the device being "
                       "edited."),
        this));
    layout->itemAt(0)->widget()->setProperty("wordWrap", true);
    layout->addLayout(form);
    layout->addWidget(status);
    layout->addWidget(buttons);
    connect(apply, &QPushButton::clicked, this, &CRemoteControlDialog::Apply);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(&server, &remote::RemoteServer::ClientCountChanged, this,
            &CRemoteControlDialog::ShowState);
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
    code->setText(server.IsListening() ? server.Code() : QString());
    page->setText(server.PageAddress());
    if (!failure.isEmpty()) {
        status->setText(failure + QStringLiteral(" The remote control is off."));
    } else if (server.IsListening()) {
        status->setText(QStringLiteral("On: %1 page(s) connected.").arg(server.ClientCount()));
    } else {
        status->setText(QStringLiteral("Off."));
    }
}

}  // namespace arvestra
