#pragma once

#include <QString>

// The family of the form's own texts (buttons, radio buttons, labels). The
// form was laid out for an 8-point sans serif whose texts fit its fixed
// rectangles; each platform names the one it has, since a missing family
// falls back to whatever the system picks (on Windows one without some
// glyphs of the form's texts).
QString FormFontFamily();
