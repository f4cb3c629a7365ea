#pragma once

#include <QWizardPage>

#include <vector>

class QLabel;
class QRadioButton;

namespace arvestra {

class CCopyWiz;

// A choice page of the copy wizard: one radio group exchanged as an index (what to copy, the
// source, the destination). The radios have the template's control ids as object names.
class CCopyWizChoicePage : public QWizardPage {
    Q_OBJECT
  public:
    struct Option {
        const char* text;
        int controlId;
    };

    // `choice` is the wizard's index this page sets.
    CCopyWizChoicePage(CCopyWiz& wizard, int id, int& choice, const std::vector<Option>& options);

    void initializePage() override;
    int nextId() const override;

    QRadioButton* Radio(int index) const;

  private:
    CCopyWiz& wizard;
    int id;
    int& choice;
    std::vector<QRadioButton*> radios;
    QLabel* summary = nullptr;
};

}  // namespace arvestra
