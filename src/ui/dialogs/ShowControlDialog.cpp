#include "ui/dialogs/ShowControlDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkInterface>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "remote/OscService.h"

namespace arvestra {

namespace {

// This computer's IPv4 addresses, loopback first: a cue program on this computer is the
// common case, and loopback reaches no one else.
QStringList LocalAddresses() {
    QStringList loopback;
    QStringList outward;
    for (const QHostAddress& a : QNetworkInterface::allAddresses()) {
        if (a.protocol() != QAbstractSocket::IPv4Protocol) continue;
        (a.isLoopback() ? loopback : outward).append(a.toString());
    }
    if (!loopback.contains(QStringLiteral("127.0.0.1")))
        loopback.prepend(QStringLiteral("127.0.0.1"));
    return loopback + outward;
}

constexpr int kStatusRefreshMs = 500;
// Wide enough for the status line on two lines at any font size.
constexpr int kWidthInCharacters = 64;

}  // namespace

CShowControlDialog::CShowControlDialog(remote::OscService& service,
                                       const ShowControlSettings& shown, QWidget* parent)
    : QDialog(parent), service(service) {
    setWindowTitle(QStringLiteral("Show Control"));
    address = new QComboBox(this);
    address->addItems(LocalAddresses());
    if (address->findText(shown.address) < 0) address->addItem(shown.address);
    address->setCurrentIndex(address->findText(shown.address));
    port = new QSpinBox(this);
    port->setRange(1, 65535);
    port->setValue(shown.port);
    allow = new QLineEdit(shown.allow, this);
    allow->setPlaceholderText(QStringLiteral("every sender, or e.g. 127.0.0.1,10.0.0.0/24"));
    on = new QCheckBox(QStringLiteral("&On"), this);
    on->setChecked(service.IsListening());
    apply = new QPushButton(QStringLiteral("&Apply"), this);
    status = new QLabel(this);
    status->setWordWrap(true);
    status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Listen on:"), address);
    form->addRow(QStringLiteral("&Port (UDP):"), port);
    form->addRow(QStringLiteral("&Senders allowed:"), allow);
    form->addRow(QString(), on);
    form->addRow(QString(), apply);
    auto* intro = new QLabel(
        QStringLiteral("Cue systems, control surfaces and scripts recall presets, set levels, "
                       "mute channels and receive feedback with Open Sound Control (OSC) "
                       "messages, e.g. /arvestra/1/preset/recall. The user guide lists the "
                       "addresses."),
        this);
    intro->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(status);
    layout->addWidget(buttons);
    connect(apply, &QPushButton::clicked, this, &CShowControlDialog::Apply);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    setMinimumWidth(fontMetrics().averageCharWidth() * kWidthInCharacters);
    refresh.setInterval(kStatusRefreshMs);
    connect(&refresh, &QTimer::timeout, this, &CShowControlDialog::ShowState);
    refresh.start();
    ShowState();
}

ShowControlSettings CShowControlDialog::Shown() const {
    ShowControlSettings settings;
    settings.on = on->isChecked();
    settings.address = address->currentText();
    settings.port = port->value();
    settings.allow = allow->text().trimmed();
    return settings;
}

QString CShowControlDialog::StatusText() const {
    return status->text();
}

void CShowControlDialog::Apply() {
    failure.clear();
    const ShowControlSettings settings = Shown();
    if (!settings.on) {
        service.Stop();
    } else {
        std::string error;
        const std::string listen =
            settings.address.toStdString() + ':' + std::to_string(settings.port);
        if (!service.Start(listen, settings.allow.toStdString(), &error)) {
            failure = QString::fromStdString(error);
        }
    }
    // What failed is not kept as on, so the next start does not fail the same way unseen.
    ShowControlSettings kept = settings;
    kept.on = service.IsListening();
    on->setChecked(kept.on);
    emit Applied(kept);
    ShowState();
}

void CShowControlDialog::ShowState() {
    if (!failure.isEmpty()) {
        status->setText(failure + QStringLiteral(". Show control is off."));
        return;
    }
    if (!service.IsListening()) {
        status->setText(QStringLiteral("Off."));
        return;
    }
    const osc::OscServer::Counters counters = service.Server().Stats();
    status->setText(
        QStringLiteral("On: osc.udp://%1/ with %2 subscriber(s). Messages received: %3, "
                       "refused (not allowed): %4, dropped (too many at once): %5.")
            .arg(QString::fromStdString(service.ListenAddress()))
            .arg(service.Server().Subscribers())
            .arg(counters.received)
            .arg(counters.refused)
            .arg(counters.dropped));
}

}  // namespace arvestra
