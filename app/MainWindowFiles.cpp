#include "app/MainWindow.h"
#include "edid/EdidFile.h"
#include "edid/EdidImport.h"
#include "edid/EdidLayout.h"
#include "ui_mainwindow.h"

#include <QCoreApplication>
#include <QDir>
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

// A file dialog shows only the names its filter matches and cannot open one
// it hides, so the first filter takes every form a load reads, and "All
// files" matches names without a dot too.
const QString kLoadFilter =
    QStringLiteral("EDID files (*.bin *.edid *.raw *.dat *.hex *.txt *.c *.h);;"
                   "Binary Files (*.bin);;All files (*)");
const QString kSaveFilter = QStringLiteral("Binary file (*.bin);;All files (*)");
const QString kSaveName = QStringLiteral("TALVO_edid0.bin");
const QString kSaveSuffix = QStringLiteral(".bin");

} // namespace

void MainWindow::LoadEDIDfromFile() {
    BeginAction();
    LoadFile();
}

void MainWindow::SaveEDIDtoFile() {
    BeginAction();
    SaveFile();
}

void MainWindow::RememberFolder(const QString& fileName) {
    lastFolder_ = QFileInfo(fileName).absolutePath();
}

bool MainWindow::LoadFile() {
    const QString fileName =
        services_.dialogs.OpenFileName(this, QStringLiteral("Open file"), lastFolder_, kLoadFilter);
    if (fileName.isEmpty()) {
        return false;
    }
    RememberFolder(fileName);
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
        ShowLoadedTable(contents);
    } else {
        LoadText(contents);
    }
    ShowSummary();
    KeepViewText();
    return true;
}

// Raw bytes fill the table from its start, zeros after them; the message
// says when that made the table or when there is no table at all.
void MainWindow::ShowLoadedTable(const std::vector<std::uint8_t>& contents) {
    const EdidImage image = BinaryEdidImage(contents);
    ShowEDIDtable(image);
    if (contents.empty()) {
        ShowFailureMessage(tr("File loaded, but it holds no EDID table: it is empty."));
    } else if (!StartsWithEdidHeader(image.data(), image.size())) {
        ShowFailureMessage(
            tr("File loaded, but it holds no EDID table: no EDID header at the start."));
    } else if (contents.size() == kEdidSize / 2) {
        ShowStatusMessage(tr("File loaded (one block; block 1 added as zeros)"));
    } else if (contents.size() < kEdidSize) {
        ShowStatusMessage(tr("File loaded (%1 bytes; the rest set to zero)").arg(contents.size()));
    } else if (contents.size() > kEdidSize) {
        ShowStatusMessage(tr("File loaded (bytes after the first 256 left out)"));
    } else {
        ShowStatusMessage(tr("File loaded"));
    }
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
        if (convert) {
            ShowFailureMessage(
                tr("File loaded, but it holds no EDID table: %1.")
                    .arg(QString::fromLatin1(EdidImportFailureReason(imported.failure))));
        } else {
            ShowStatusMessage(tr("File loaded"));
        }
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
    const QString fileName = SaveFileNameWithSuffix();
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
    KeepViewText();
    return true;
}

// A new name without a suffix gets ".bin"; a file picked as it is there is
// the one meant. The dialog asked about replacing the name as typed, so
// replacing the file with the suffix is asked here.
QString MainWindow::SaveFileNameWithSuffix() {
    const QString directory =
        lastFolder_.isEmpty() ? kSaveName : QDir(lastFolder_).filePath(kSaveName);
    QString fileName =
        services_.dialogs.SaveFileName(this, QStringLiteral("Save File"), directory, kSaveFilter);
    if (fileName.isEmpty()) {
        return fileName;
    }
    RememberFolder(fileName);
    if (!QFileInfo(fileName).suffix().isEmpty() || QFileInfo::exists(fileName)) {
        return fileName;
    }
    fileName += kSaveSuffix;
    if (QFileInfo::exists(fileName) &&
        !services_.dialogs.Question(
            this, tr("TALVO EDID Utility"), tr("%1 already exists.").arg(fileName),
            tr("Do you want to replace it?"), WindowDialogs::DefaultAnswer::No)) {
        return QString();
    }
    return fileName;
}
