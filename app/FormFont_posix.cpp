#include "app/FormFont.h"

// Debian's fonts-liberation, metric-compatible with the sans serif the form
// was drawn with.
QString FormFontFamily() {
    return QStringLiteral("Liberation Sans");
}
