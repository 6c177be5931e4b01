#include "EdidFile.h"
#include "MainWindow.h"
#include "ui_mainwindow.h"

#include <QFile>
#include <QSaveFile>

#include <vector>

void MainWindow::LoadEDIDfromFile() {
    LoadFile();
}

void MainWindow::SaveEDIDtoFile() {
    SaveFile();
}

bool MainWindow::LoadFile() {
    const QString fileName =
        services_.dialogs.OpenFileName(this, QStringLiteral("Open file"), QString(),
                                       QStringLiteral("Binary Files (*.bin);;All files (*.*)"));
    if (fileName.isEmpty()) {
        return false;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowWarning(tr("Cannot read file %1:\n%2.").arg(fileName, file.errorString()));
        return false;
    }
    const QByteArray read = file.read(static_cast<qint64>(kFileReadLimit));
    // What a failing read delivered is not the file: keep the view as it is.
    if (file.error() != QFileDevice::NoError) {
        ShowWarning(tr("Cannot read file %1:\n%2.").arg(fileName, file.errorString()));
        return false;
    }
    const std::vector<std::uint8_t> head(read.begin(), read.end());
    if (ClassifyEdidFile(head) == EdidFileForm::Binary) {
        ShowEDIDtable(BinaryEdidImage(head));
    } else {
        const std::string text = NormaliseLineEnds(head);
        ShowHexText(QString::fromLatin1(text.data(), static_cast<int>(text.size())),
                    QColor(0, 0, 255));
    }
    ShowStatusMessage(tr("File loaded"));
    return true;
}

bool MainWindow::SaveFile() {
    EdidImage image{};
    if (ParseEDIDtext(image) < 0) {
        ShowWarning(tr("Hex Format Error"));
        return false;
    }
    const QString fileName = services_.dialogs.SaveFileName(this, QStringLiteral("Save File"),
                                                            QStringLiteral("TALVO_edid0.bin"),
                                                            QStringLiteral("Binary file (*.bin)"));
    if (fileName.isEmpty()) {
        return false;
    }
    // The target is replaced only once all 256 bytes are on disk, so a failed
    // save leaves an existing file as it was.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        ShowWarning(tr("Cannot write file %1:\n%2.").arg(fileName, file.errorString()));
        return false;
    }
    ShowStatusMessage(tr("Saving file..."));
    const auto* bytes = reinterpret_cast<const char*>(image.data());
    // The bytes sit in the file's buffer until they are flushed, and commit()
    // overlooks a flush that the disk cut short (a full disk): it would put
    // the cut-short file in place of the target. Flushing first catches it.
    if (file.write(bytes, static_cast<qint64>(image.size())) != static_cast<qint64>(image.size()) ||
        !file.flush() || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        ShowWarning(tr("Cannot write file %1:\n%2.").arg(fileName, reason));
        return false;
    }
    ShowStatusMessage(tr("File saved"));
    return true;
}
