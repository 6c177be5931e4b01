#include "app/MainWindow.h"
#include "edid/Checksum.h"
#include "edid/EdidLayout.h"
#include "edid/HexText.h"
#include "ui_mainwindow.h"

#include <QStatusBar>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// The view's rule for text: case does not matter, and one 8-bit character
// stands for each character of the view.
bool WholeTableIn(const QString& text, EdidImage& image) {
    const QByteArray bytes = text.toUpper().toLatin1();
    return ParseHexText(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                        image) == static_cast<int>(kEdidSize);
}

} // namespace

int MainWindow::ParseEDIDtext(EdidImage& image, std::size_t* errorOffset) const {
    // One 8-bit character per character of the view, so an offset into the
    // parsed text is a position in the view.
    const QByteArray text = ui->EDIDtext->toPlainText().toUpper().toLatin1();
    return ParseHexText(std::string(text.constData(), static_cast<std::size_t>(text.size())), image,
                        errorOffset);
}

bool MainWindow::TakeWholeTable(EdidImage& image) {
    std::size_t errorOffset = 0;
    const int count = ParseEDIDtext(image, &errorOffset);
    if (count < 0) {
        ShowFormatError(static_cast<int>(errorOffset));
        return false;
    }
    // Anything but a whole table would reach the file or the unit padded
    // with zeros or cut short.
    if (count < static_cast<int>(kEdidSize)) {
        ShowWarning(tr("Incomplete EDID table: %1 of 256 byte values.").arg(count));
        return false;
    }
    if (count > static_cast<int>(kEdidSize)) {
        ShowWarning(tr("EDID table too long: %1 byte values; a table holds 256.").arg(count));
        return false;
    }
    return true;
}

// The group is selected and its place stays in the status bar while the box
// is open and after.
void MainWindow::ShowFormatError(int offset) {
    QTextCursor cursor(ui->EDIDtext->document());
    cursor.setPosition(offset);
    const int line = cursor.blockNumber() + 1;
    const int column = cursor.positionInBlock() + 1;
    cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor,
                        static_cast<int>(kHexGroupLength));
    ui->EDIDtext->setTextCursor(cursor);
    statusBar()->showMessage(
        tr("Hex format error in the group at line %1, column %2.").arg(line).arg(column));
    ShowWarning(tr("Hex Format Error"));
}

// Each piece of text carries its own format, so whatever an earlier load left
// as the view's current format does not colour the table.
void MainWindow::ShowEDIDtable(const EdidImage& image) {
    // One edit block: the document is laid out once, not after each of the
    // 272 insertions, and one undo brings back what the view held before.
    QTextCursor cursor = ReplaceAll();
    QTextCharFormat bodyFormat;
    QTextCharFormat lineEndFormat;
    for (std::size_t i = 0; i < kEdidSize; ++i) {
        if (i % kHexBytesPerLine != kHexBytesPerLine - 1) {
            bodyFormat.setForeground(Qt::black);
            cursor.insertText(QString::asprintf("%02X ", image[i]), bodyFormat);
            continue;
        }
        const bool checksumByte = IsChecksumByte(i);
        lineEndFormat.setFontWeight(checksumByte ? QFont::Bold : QFont::Normal);
        lineEndFormat.setForeground(checksumByte ? Qt::red : Qt::black);
        cursor.insertText(QString::asprintf("%02X", image[i]), lineEndFormat);
        cursor.insertText(QStringLiteral("\n"));
    }
    cursor.endEditBlock();
}

// The whole text in 8-point bold of the given colour, taken as plain text,
// as one undo step.
void MainWindow::ShowHexText(const QString& text, const QColor& colour) {
    QTextCharFormat format;
    format.setFontPointSize(8);
    format.setForeground(colour);
    format.setFontWeight(QFont::Bold);
    QTextCursor cursor = ReplaceAll();
    cursor.insertText(text, format);
    cursor.endEditBlock();
}

// An open edit block with the view's whole text removed; setPlainText() and
// clear() would wipe the undo history with it.
QTextCursor MainWindow::ReplaceAll() {
    QTextCursor cursor(ui->EDIDtext->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    return cursor;
}

// Whether text, once it is the view's text, parses to exactly one table.
bool MainWindow::ParsesToWholeTable(const QString& text) const {
    QTextDocument view;
    view.setPlainText(text);
    const QByteArray shown = view.toPlainText().toUpper().toLatin1();
    EdidImage image{};
    return ParseHexText(std::string(shown.constData(), static_cast<std::size_t>(shown.size())),
                        image) == static_cast<int>(kEdidSize);
}

void MainWindow::KeepViewText() {
    keptViewText_ = ui->EDIDtext->toPlainText();
}

// The same table in other spacing or case is no change.
bool MainWindow::ViewChangedSinceKept() const {
    const QString text = ui->EDIDtext->toPlainText();
    if (text == keptViewText_) {
        return false;
    }
    EdidImage shown{};
    EdidImage kept{};
    return !WholeTableIn(text, shown) || !WholeTableIn(keptViewText_, kept) || shown != kept;
}

void MainWindow::CalculateChkSum() {
    BeginAction();
    VerifyChecksums();
}

bool MainWindow::VerifyChecksums() {
    EdidImage image{};
    if (!TakeWholeTable(image)) {
        return false;
    }
    const bool correct = ChecksumsCorrect(image);
    if (!correct) {
        if (!services_.dialogs.Question(nullptr, QString(),
                                        QStringLiteral("The EDID Checksum is not correct."),
                                        QStringLiteral("Do you want to calculate a new checksum?"),
                                        WindowDialogs::DefaultAnswer::Yes)) {
            return false;
        }
        RepairChecksums(image);
    }
    ShowEDIDtable(image);
    ShowSummary();
    if (correct) {
        ShowStatusMessage(tr("Checksums are correct."));
    }
    return true;
}
