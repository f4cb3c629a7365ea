#include "ui/wizard/CopyWizFilePage.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/wizard/CopyWiz.h"

namespace arvestra {

CCopyWizFilePage::CCopyWizFilePage(CCopyWiz& wiz, int pageId, bool isDestination, int editId)
    : wizard(wiz), id(pageId), destination(isDestination) {
    setTitle(QString::fromLatin1(copywiz::PageTitle(pageId)));
    auto* layout = new QGridLayout(this);
    fileName = new QLineEdit(this);
    fileName->setObjectName(QString::number(editId));
    browse = new QPushButton(QStringLiteral("Browse"), this);
    browse->setObjectName(QStringLiteral("3030"));
    auto* label = new QLabel(QStringLiteral("&File name:"), this);
    label->setBuddy(fileName);
    layout->addWidget(label, 0, 0, 1, 2);
    layout->addWidget(fileName, 1, 0);
    layout->addWidget(browse, 1, 1);
    layout->setRowStretch(2, 1);
    summary = new QLabel(this);
    summary->setWordWrap(true);
    layout->addWidget(summary, 3, 0, 1, 2);
    connect(fileName, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (destination) {
            wizard.SetDestinationPath(text);
        } else {
            wizard.SetSourcePath(text);
        }
        emit completeChanged();
    });
    connect(browse, &QPushButton::clicked, this, &CCopyWizFilePage::OnBrowse);
}

void CCopyWizFilePage::initializePage() {
    fileName->setText(destination ? wizard.DestinationPath() : wizard.SourcePath());
    summary->setText(wizard.Summary());
}

int CCopyWizFilePage::nextId() const {
    return copywiz::NextPage(id, wizard.Choices());
}

bool CCopyWizFilePage::isComplete() const {
    return !fileName->text().trimmed().isEmpty();
}

bool CCopyWizFilePage::validatePage() {
    return wizard.LoadFile(destination);
}

void CCopyWizFilePage::OnBrowse() {
    const QString chosen = wizard.ChooseFile(destination, fileName->text());
    if (!chosen.isEmpty()) fileName->setText(chosen);
}

}  // namespace arvestra
