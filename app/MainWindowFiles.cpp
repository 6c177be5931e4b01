#include "app/MainWindow.h"
#include "edid/EdidFile.h"
#include "edid/EdidImport.h"
#include "ui_mainwindow.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <vector>

namespace {

// The load reads the whole file up to this size: an edid-decode dump runs to
// a few kilobytes, and no table is longer than 256 blocks.
constexpr qint64 kLoadReadLimit = 1 << 20;

// Something that exists under the name but is no regular file (a symbolic
// link counts as what it points to).
bool IsSpecialFile(const QString& fileName) {
    const QFileInfo info(fileName);
    return info.exists() && !info.isFile();
}

QString NotRegularFileReason() {
    return QCoreApplication::translate("MainWindow", "Not a regular file");
}

} // namespace

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
    // Opening a pipe waits for a writer and a device node may never end; only
    // a regular file is opened at all.
    if (IsSpecialFile(fileName)) {
        ShowWarning(tr("Cannot read file %1:\n%2.").arg(fileName, NotRegularFileReason()));
        return false;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowWarning(tr("Cannot read file %1:\n%2.").arg(fileName, file.errorString()));
        return false;
    }
    const QByteArray read = file.read(kLoadReadLimit);
    // What a failing read delivered is not the file: keep the view as it is.
    if (file.error() != QFileDevice::NoError) {
        ShowWarning(tr("Cannot read file %1:\n%2.").arg(fileName, file.errorString()));
        return false;
    }
    const std::vector<std::uint8_t> contents(read.begin(), read.end());
    if (ClassifyEdidFile(contents) == EdidFileForm::Binary) {
        ShowEDIDtable(BinaryEdidImage(contents));
        ShowStatusMessage(tr("File loaded"));
    } else {
        LoadText(contents);
    }
    ShowSummary();
    return true;
}

// Text that makes a whole table in the view is shown as it stands, to be
// parsed when the table is next used. Other text in a form the importer
// knows (an edid-decode dump, a C array, other hex spacing) is converted
// and shown as a binary load is; text in no known form is shown as it
// stands, and parsing it later says what is wrong.
void MainWindow::LoadText(const std::vector<std::uint8_t>& contents) {
    const std::string normalised = NormaliseLineEnds(contents);
    const QString text =
        QString::fromLatin1(normalised.data(), static_cast<int>(normalised.size()));
    const bool convert = !ParsesToWholeTable(text);
    const ImportedEdid imported =
        convert ? ImportEdidTable(contents, EdidTableSize::TwoBlocks) : ImportedEdid{};
    if (!convert || !imported.Found()) {
        ShowHexText(text, QColor(0, 0, 255));
        ShowStatusMessage(tr("File loaded"));
        return;
    }
    EdidImage image{};
    std::copy(imported.table.begin(), imported.table.end(), image.begin());
    ShowEDIDtable(image);
    const QString form = QString::fromLatin1(EdidTableFormName(imported.form));
    if (imported.extendedWithZeroBlock) {
        ShowStatusMessage(tr("File loaded (converted from %1; block 1 added as zeros)").arg(form));
    } else if (imported.extraBlocksDropped) {
        ShowStatusMessage(
            tr("File loaded (converted from %1; blocks after block 1 left out)").arg(form));
    } else {
        ShowStatusMessage(tr("File loaded (converted from %1)").arg(form));
    }
}

bool MainWindow::SaveFile() {
    EdidImage image{};
    if (!TakeWholeTable(image)) {
        return false;
    }
    const QString fileName = services_.dialogs.SaveFileName(this, QStringLiteral("Save File"),
                                                            QStringLiteral("TALVO_edid0.bin"),
                                                            QStringLiteral("Binary file (*.bin)"));
    if (fileName.isEmpty()) {
        return false;
    }
    // A pipe or a device node would be replaced by a plain file.
    if (IsSpecialFile(fileName)) {
        ShowWarning(tr("Cannot write file %1:\n%2.").arg(fileName, NotRegularFileReason()));
        return false;
    }
    // The target is replaced only once all 256 bytes are on disk, so a failed
    // save leaves an existing file as it was. Only where the folder takes no
    // new file is a writable target written in place.
    QSaveFile file(fileName);
    file.setDirectWriteFallback(true);
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
