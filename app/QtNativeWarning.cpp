#include "QtNativeWarning.h"

#include <QMessageBox>

void QtNativeWarning::Show(const std::string& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral(" "), QString::fromStdString(text),
                    QMessageBox::Ok);
    box.exec();
}
