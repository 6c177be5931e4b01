#include "app/WindowDialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>

void QtWindowDialogs::Warning(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::warning(parent, title, text);
}

bool QtWindowDialogs::Question(QWidget* parent, const QString& title, const QString& text,
                               const QString& informativeText, DefaultAnswer defaultAnswer) {
    QMessageBox box(parent);
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(title);
    box.setText(text);
    box.setInformativeText(informativeText);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(defaultAnswer == DefaultAnswer::Yes ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtWindowDialogs::About(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::about(parent, title, text);
}

QString QtWindowDialogs::OpenFileName(QWidget* parent, const QString& caption,
                                      const QString& directory, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, directory, filter);
}

// A name typed without a suffix gets the first filter's, before the dialog
// asks whether to replace an existing file: it then asks about the file that
// will be written.
QString QtWindowDialogs::SaveFileName(QWidget* parent, const QString& caption,
                                      const QString& directory, const QString& filter) {
    QFileDialog dialog(parent, caption, directory, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const QRegularExpressionMatch suffix =
        QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter);
    if (suffix.hasMatch()) {
        dialog.setDefaultSuffix(suffix.captured(1));
    }
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}
