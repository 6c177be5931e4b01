#include "app/FormFont.h"

// Windows' own dialog font, present on every Windows and in Wine.
QString FormFontFamily() {
    return QStringLiteral("Tahoma");
}
