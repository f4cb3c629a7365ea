#include "remote/PresetNameText.h"

namespace arvestra::remote {

std::string CleanPresetName(const QString& typed) {
    QString name;
    for (const QChar c : typed) {
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format) continue;
        if (c.isLowSurrogate()) continue;
        // A character beyond Latin-1 becomes '?' when stored; one that takes two units here
        // is still one character there.
        name.append(c.isHighSurrogate() ? QChar('?') : c);
    }
    return name.left(kDeviceNameChars).toStdString();
}

}  // namespace arvestra::remote
