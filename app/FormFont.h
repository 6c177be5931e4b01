#pragma once

#include <QString>

class QWidget;

// The family of the form's own texts (buttons, radio buttons, labels). The
// form was laid out for an 8-point sans serif whose texts fit its fixed
// rectangles; each platform names the one it has, since a missing family
// falls back to whatever the system picks (on Windows one without some
// glyphs of the form's texts).
QString FormFontFamily();

// Shrinks, half a point at a time, the font of each radio button and label
// of the form whose text is wider than its fixed rectangle in the font the
// platform gives, so that every text shows whole. The families the form is
// drawn with fit as they are; a wider stand-in (Wine's Tahoma) does not.
void FitFormTexts(QWidget* form);
