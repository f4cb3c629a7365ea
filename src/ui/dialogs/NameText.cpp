#include "ui/dialogs/NameText.h"

namespace arvestra {

QString NameToDisplay(const std::string& latin1) {
    return QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size()));
}

std::string NameFromDisplay(const QString& text) {
    std::string latin1;
    latin1.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar ch : text) {
        const char16_t code = ch.unicode();
        latin1.push_back(code <= 0xFF ? static_cast<char>(code) : '?');
    }
    return latin1;
}

QString NameAsLabel(const QString& name) {
    QString label = name;
    label.replace('&', QStringLiteral("&&"));
    return label;
}

}  // namespace arvestra
