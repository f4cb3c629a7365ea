#include "ui/ports/GuardedMessageBox.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace arvestra {

namespace {

QMessageBox::Icon IconOf(IconKind icon) {
    switch (icon) {
        case IconKind::Stop:
            return QMessageBox::Critical;
        case IconKind::Question:
            return QMessageBox::Question;
        case IconKind::Warning:
            return QMessageBox::Warning;
        case IconKind::Information:
            return QMessageBox::Information;
        case IconKind::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

CGuardedMessageBox::CGuardedMessageBox(const UiQuestion& question, QWidget* parent)
    : QMessageBox(parent), buttonSet(question.buttons) {
    setWindowTitle(
        QString::fromStdString(question.title.empty() ? std::string(kAppTitle) : question.title));
    // The core's message texts are UTF-8 (file paths may appear in them).
    setText(QString::fromUtf8(question.text.data(), static_cast<qsizetype>(question.text.size())));
    setTextFormat(Qt::PlainText);
    KeepLinesWhole();
    setIcon(IconOf(question.icon));
    setStandardButtons(ButtonsOf(question.buttons));
    setDefaultButton(DefaultButtonOf(question.buttons));
    const QMessageBox::StandardButton escape = EscapeButtonOf(question.buttons);
    if (escape != QMessageBox::NoButton) {
        setEscapeButton(escape);
    }
    setWindowModality(Qt::ApplicationModal);
    if (escape == QMessageBox::NoButton) {
        setWindowFlag(Qt::WindowCloseButtonHint, false);
    }
}

void CGuardedMessageBox::KeepLinesWhole() {
    // The texts break their lines where they mean to; the box's own wrapping at half the screen
    // would split the error-number line. Lines up to a sensible width stay whole.
    auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (label == nullptr) {
        return;
    }
    const QFontMetrics metrics(label->font());
    int widest = 0;
    for (const QString& line : text().split('\n')) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    label->setMinimumWidth(std::min(widest + metrics.averageCharWidth(), kMaxLineWidth));
}

UiAnswer CGuardedMessageBox::Run() {
    // exec() only returns through done(), which a button click or an allowed Escape calls.
    for (;;) {
        exec();
        const QMessageBox::StandardButton pressed = standardButton(clickedButton());
        if (pressed != QMessageBox::NoButton) {
            return AnswerOf(pressed);
        }
    }
}

UiAnswer CGuardedMessageBox::AnswerOf(QMessageBox::StandardButton button) {
    switch (button) {
        case QMessageBox::Ok:
            return UiAnswer::Ok;
        case QMessageBox::Cancel:
            return UiAnswer::Cancel;
        case QMessageBox::Abort:
            return UiAnswer::Abort;
        case QMessageBox::Retry:
            return UiAnswer::Retry;
        case QMessageBox::Ignore:
            return UiAnswer::Ignore;
        case QMessageBox::Yes:
            return UiAnswer::Yes;
        case QMessageBox::No:
            return UiAnswer::No;
        default:
            break;
    }
    return UiAnswer::Cancel;
}

QMessageBox::StandardButtons CGuardedMessageBox::ButtonsOf(ButtonSet buttons) {
    switch (buttons) {
        case ButtonSet::Ok:
            return QMessageBox::Ok;
        case ButtonSet::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case ButtonSet::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case ButtonSet::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case ButtonSet::AbortRetryIgnore:
            return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton CGuardedMessageBox::DefaultButtonOf(ButtonSet buttons) {
    switch (buttons) {
        case ButtonSet::Ok:
        case ButtonSet::OkCancel:
            return QMessageBox::Ok;
        case ButtonSet::YesNo:
        case ButtonSet::YesNoCancel:
            return QMessageBox::Yes;
        case ButtonSet::AbortRetryIgnore:
            return QMessageBox::Retry;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton CGuardedMessageBox::EscapeButtonOf(ButtonSet buttons) {
    switch (buttons) {
        case ButtonSet::Ok:
            return QMessageBox::Ok;
        case ButtonSet::OkCancel:
        case ButtonSet::YesNoCancel:
            return QMessageBox::Cancel;
        case ButtonSet::YesNo:
        case ButtonSet::AbortRetryIgnore:
            break;
    }
    return QMessageBox::NoButton;
}

void CGuardedMessageBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && EscapeButtonOf(buttonSet) == QMessageBox::NoButton) {
        event->accept();
        return;
    }
    QMessageBox::keyPressEvent(event);
}

void CGuardedMessageBox::closeEvent(QCloseEvent* event) {
    if (EscapeButtonOf(buttonSet) == QMessageBox::NoButton) {
        event->ignore();
        return;
    }
    QMessageBox::closeEvent(event);
}

}  // namespace arvestra
