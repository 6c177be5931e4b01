#include "app/FormFont.h"

#include <QLabel>
#include <QRadioButton>
#include <QWidget>

namespace {

constexpr qreal kSmallestPointSize = 6.0;

void FitText(QWidget* widget) {
    QFont font = widget->font();
    while (widget->sizeHint().width() > widget->width() &&
           font.pointSizeF() - 0.5 >= kSmallestPointSize) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        widget->setFont(font);
    }
}

} // namespace

void FitFormTexts(QWidget* form) {
    for (QRadioButton* button : form->findChildren<QRadioButton*>()) {
        FitText(button);
    }
    for (QLabel* label : form->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        FitText(label);
    }
}
