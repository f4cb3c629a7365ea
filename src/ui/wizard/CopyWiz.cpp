#include "ui/wizard/CopyWiz.h"

#include <QFileDialog>
#include <QFileInfo>

#include "document/AskQuestion.h"
#include "document/CQ7310Doc.h"
#include "document/LocationBuffer.h"
#include "ui/wizard/CopyWizPages.h"

namespace arvestra {

namespace {

constexpr char kFileFilter[] = "Location Files (*.kvx);;All files (*)";

const char* WhatText(int what) {
    switch (what) {
        case 0:
            return "a setting";
        case 1:
            return "a preset";
        case 2:
            return "a device";
        default:
            return "?";
    }
}

template <typename Page>
const Page* PageAs(const QWizard& wizard, int id) {
    return dynamic_cast<const Page*>(wizard.page(id));
}

}  // namespace

CCopyWiz::CCopyWiz(CQ7310Doc& document, QWidget* parent) : QWizard(parent), doc(document) {
    setWindowTitle(QStringLiteral("Copy Wiz"));
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::NoBackButtonOnStartPage, true);
    AddPages();
    setStartId(copywiz::kType);
    // Opening the wizard starts every choice at its first radio.
    choices = {0, 0, 0};
}

CCopyWiz::~CCopyWiz() = default;

void CCopyWiz::AddPages() {
    setPage(copywiz::kType, new CCopyWizType(*this));
    setPage(copywiz::kSourceFl, new CCopyWizSourceFl(*this));
    setPage(copywiz::kSourceUnit, new CCopyWizSourceUnitL(*this));
    setPage(copywiz::kSourcePreset, new CCopyWizSourcePresetL(*this));
    setPage(copywiz::kSourceSetting, new CCopyWizSourceSettingL(*this));
    setPage(copywiz::kSourceFile, new CCopyWizSourceFile(*this));
    setPage(copywiz::kDestFl, new CCopyWizDestFl(*this));
    setPage(copywiz::kDestUnit, new CCopyWizDestUnitL(*this));
    setPage(copywiz::kDestPreset, new CCopyWizDestPresetL(*this));
    setPage(copywiz::kDestSetting, new CCopyWizDestSettingL(*this));
    setPage(copywiz::kDestFile, new CCopyWizDestFile(*this));
}

bool CCopyWiz::LoadFile(bool destination) {
    const QString path = (destination ? destinationPath : sourcePath).trimmed();
    std::string error;
    // The destination is read as it stands (it will be saved again); a source of the older
    // version is only read, so it is converted in memory.
    std::unique_ptr<CLocationBuffer> loaded =
        CLocationBuffer::Load(path.toStdString(), !destination, error);
    if (!loaded) {
        AskQuestion(doc.Ui(), error, ButtonSet::Ok, IconKind::Stop);
        return false;
    }
    (destination ? destinationFile : sourceFile) = std::move(loaded);
    ++(destination ? destinationGeneration : sourceGeneration);
    return true;
}

bool CCopyWiz::ListsShowCurrentLocation(bool destination) const {
    return (destination ? choices.destination : choices.source) != 1;
}

const CLocationImage* CCopyWiz::ListLocation(bool destination) const {
    if (ListsShowCurrentLocation(destination)) return &doc.Devices().Location();
    const auto& file = destination ? destinationFile : sourceFile;
    return file ? &file->Location() : nullptr;
}

int CCopyWiz::LocationGeneration(bool destination) const {
    // The current location counts as generation 0, each file read as the next number.
    if (ListsShowCurrentLocation(destination)) return 0;
    return destination ? destinationGeneration : sourceGeneration;
}

CopyRequest CCopyWiz::Request() const {
    CopyRequest request;
    request.what = static_cast<CopyWhat>(std::clamp(choices.what, 0, 2));
    const int sourceId =
        copywiz::NextPage(choices.source == 1 ? copywiz::kSourceFile : copywiz::kSourceFl, choices);
    const int destinationId = copywiz::NextPage(
        choices.destination == 1 ? copywiz::kDestFile : copywiz::kDestFl, choices);
    if (const auto* source = PageAs<CCopyWizListPage>(*this, sourceId)) {
        const std::vector<int> units = source->SelectedAddresses();
        const std::vector<int> images = source->SelectedImages();
        const std::vector<SettingId> settings = source->SelectedSettings();
        request.fromAddress = units.empty() ? 0 : units.front();
        request.fromImage = images.empty() ? 0 : images.front();
        if (!settings.empty()) request.fromSetting = settings.front();
    }
    if (const auto* target = PageAs<CCopyWizListPage>(*this, destinationId)) {
        request.toAddresses = target->SelectedAddresses();
        request.toImages = target->SelectedImages();
        request.toSettings = target->SelectedSettings();
    }
    return request;
}

QString CCopyWiz::Summary() const {
    const auto side = [](int choice, const QString& path) {
        if (choice == 1) {
            return path.isEmpty() ? QStringLiteral("a file")
                                  : QStringLiteral("the file %1").arg(QFileInfo(path).fileName());
        }
        return QStringLiteral("the current location");
    };
    return QStringLiteral("Copy %1 from %2 to %3.")
        .arg(QString::fromLatin1(WhatText(choices.what)), side(choices.source, sourcePath),
             side(choices.destination, destinationPath));
}

QString CCopyWiz::ChooseFile(bool destination, const QString& current) {
    if (fileChooser) return fileChooser(destination, current);
    const QString title = QString::fromLatin1(
        copywiz::PageTitle(destination ? copywiz::kDestFile : copywiz::kSourceFile));
    // Both ends must be existing Location Files: a destination's devices are chosen from it.
    return QFileDialog::getOpenFileName(this, title, current, QString::fromLatin1(kFileFilter));
}

bool CCopyWiz::validateCurrentPage() {
    if (!QWizard::validateCurrentPage()) return false;
    if (!copywiz::IsFinalPage(currentId())) return true;
    return RunTheCopy();
}

bool CCopyWiz::RunTheCopy() {
    const CopyEndpoint from{choices.source != 1, sourcePath.trimmed().toStdString()};
    const CopyEndpoint to{choices.destination != 1, destinationPath.trimmed().toStdString()};
    lastError = RunCopy(doc, from, to, Request());
    if (lastError.empty()) return true;
    AskQuestion(doc.Ui(), lastError, ButtonSet::Ok, IconKind::Stop);
    return false;
}

}  // namespace arvestra
