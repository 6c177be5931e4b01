#include "app/NativeWarningBox.h"

#include <QMessageBox>

void NativeWarningBox::Show(const std::string& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral(" "), QString::fromStdString(text),
                    QMessageBox::Ok);
    box.exec();
}
