#include "ui/wizard/CopyWizChoicePage.h"

#include <QButtonGroup>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/wizard/CopyWiz.h"

namespace arvestra {

CCopyWizChoicePage::CCopyWizChoicePage(CCopyWiz& wiz, int pageId, int& index,
                                       const std::vector<Option>& options)
    : wizard(wiz), id(pageId), choice(index) {
    setTitle(QString::fromLatin1(copywiz::PageTitle(pageId)));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QButtonGroup(this);
    for (std::size_t i = 0; i < options.size(); ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(options[i].text), this);
        radio->setObjectName(QString::number(options[i].controlId));
        group->addButton(radio, static_cast<int>(i));
        layout->addWidget(radio);
        radios.push_back(radio);
        connect(radio, &QRadioButton::toggled, this, [this, i](bool on) {
            if (!on) return;
            choice = static_cast<int>(i);
            summary->setText(wizard.Summary());
        });
    }
    layout->addStretch();
    summary = new QLabel(this);
    summary->setWordWrap(true);
    layout->addWidget(summary);
}

void CCopyWizChoicePage::initializePage() {
    if (QRadioButton* radio = Radio(choice)) radio->setChecked(true);
    summary->setText(wizard.Summary());
}

int CCopyWizChoicePage::nextId() const {
    return copywiz::NextPage(id, wizard.Choices());
}

QRadioButton* CCopyWizChoicePage::Radio(int index) const {
    if (index < 0 || index >= static_cast<int>(radios.size())) return nullptr;
    return radios[static_cast<std::size_t>(index)];
}

}  // namespace arvestra
