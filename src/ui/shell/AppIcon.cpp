#include "ui/shell/AppIcon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// The icon is compiled into the static GUI library; a resource there must be registered by
// name, or the linker may leave it out of the program. (The registration must be declared
// outside every namespace.)
static void RegisterDesktopResources() {
    Q_INIT_RESOURCE(desktop);
}

namespace arvestra {

QIcon MakeAppIcon() {
    RegisterDesktopResources();
    QSvgRenderer renderer(QString::fromLatin1(kAppIconResource));
    QIcon icon;
    if (!renderer.isValid()) {
        return icon;
    }
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace arvestra
