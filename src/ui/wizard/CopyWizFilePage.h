#pragma once

#include <QWizardPage>

class QLabel;
class QLineEdit;
class QPushButton;

namespace arvestra {

class CCopyWiz;

// A file page of the copy wizard: the file name edit and "Browse". Next reads the file, and a
// file that cannot be used keeps the page (the reason is shown).
class CCopyWizFilePage : public QWizardPage {
    Q_OBJECT
  public:
    CCopyWizFilePage(CCopyWiz& wizard, int id, bool destination, int editId);

    void initializePage() override;
    int nextId() const override;
    bool isComplete() const override;
    bool validatePage() override;

    QLineEdit* FileEdit() const { return fileName; }
    QPushButton* BrowseButton() const { return browse; }

  private:
    void OnBrowse();

    CCopyWiz& wizard;
    int id;
    bool destination;
    QLineEdit* fileName = nullptr;
    QPushButton* browse = nullptr;
    QLabel* summary = nullptr;
};

}  // namespace arvestra
