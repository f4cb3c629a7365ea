#include "ui/ShellTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

namespace arvestra::shelltest {

ScopedSettings::ScopedSettings() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
}

ScopedSettings::~ScopedSettings() {
    const QString empty = QDir::tempPath() + QStringLiteral("/arvestra-test-settings-unused");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, empty);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, empty);
}

QVariant ScopedSettings::Value(const QString& key) const {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Korvanex"),
                       QStringLiteral("Arvestra"));
    return settings.value(QStringLiteral("Settings/") + key);
}

void ScopedSettings::SetValue(const QString& key, const QVariant& value) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Korvanex"),
                       QStringLiteral("Arvestra"));
    settings.setValue(QStringLiteral("Settings/") + key, value);
    settings.sync();
}

bool ScopedSettings::Contains(const QString& key) const {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Korvanex"),
                       QStringLiteral("Arvestra"));
    return settings.contains(QStringLiteral("Settings/") + key);
}

BoxAnswerer::BoxAnswerer(CQtUiPort& port, std::vector<QMessageBox::StandardButton> answers)
    : script(std::move(answers)) {
    connection =
        QObject::connect(&port, &CQtUiPort::questionShown, [this](QWidget* box) { Answer(box); });
}

BoxAnswerer::~BoxAnswerer() {
    QObject::disconnect(connection);
}

void BoxAnswerer::Answer(QWidget* widget) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    if (box == nullptr) {
        return;
    }
    shown.push_back({box->windowTitle(), box->text(), box->icon(), box->standardButtons()});
    if (onShown) {
        onShown(box);
    }
    QMessageBox::StandardButton choice = QMessageBox::NoButton;
    if (!script.empty()) {
        choice = script.front();
        script.erase(script.begin());
    } else {
        ++unexpected;
        for (QMessageBox::StandardButton fallback :
             {QMessageBox::Cancel, QMessageBox::No, QMessageBox::Ignore, QMessageBox::Ok}) {
            if (box->standardButtons() & fallback) {
                choice = fallback;
                break;
            }
        }
    }
    if (QAbstractButton* button = box->button(choice)) {
        button->click();
    }
}

NextDialog::NextDialog(std::function<void(QWidget*)> act)
    : ran(std::make_shared<bool>(false)), alive(std::make_shared<bool>(true)) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [act, ranFlag = ran, aliveFlag = alive, poll]() mutable {
        if (!*aliveFlag || *ranFlag) {
            poll.reset();
            return;
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && qobject_cast<QMessageBox*>(modal) == nullptr) {
            *ranFlag = true;
            act(modal);
            poll.reset();
            return;
        }
        auto again = poll;
        QTimer::singleShot(10, [again] { (*again)(); });
    };
    QTimer::singleShot(10, [poll] { (*poll)(); });
}

NextDialog::~NextDialog() {
    *alive = false;
}

}  // namespace arvestra::shelltest
