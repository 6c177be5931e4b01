#include "app/WindowIcon.h"

#include <QString>

// A resource in a static library is registered only when something asks for
// it by name.
static void RegisterIcons() {
    Q_INIT_RESOURCE(icons);
}

QIcon WindowIcon() {
    RegisterIcons();
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
    }
    return icon;
}
