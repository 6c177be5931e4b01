#include "Checksum.h"
#include "HexText.h"
#include "MainWindow.h"
#include "ui_mainwindow.h"

#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace {

constexpr std::size_t kBytesPerLine = 16;
constexpr std::size_t kBlock0Checksum = 127;
constexpr std::size_t kBlock1Checksum = 255;

} // namespace

int MainWindow::ParseEDIDtext(EdidImage& image) const {
    const QByteArray text = ui->EDIDtext->toPlainText().toUpper().toLatin1();
    return ParseHexText(std::string(text.constData(), static_cast<std::size_t>(text.size())),
                        image);
}

// Each piece of text carries its own format, so whatever an earlier load left
// as the view's current format does not colour the table.
void MainWindow::ShowEDIDtable(const EdidImage& image) {
    QTextCursor cursor(ui->EDIDtext->document());
    ui->EDIDtext->clear();
    cursor.clearSelection();
    cursor.movePosition(QTextCursor::Start);

    // One edit block: the document is laid out once, not after each of the
    // 272 insertions, and an undo takes back the whole table.
    cursor.beginEditBlock();
    QTextCharFormat bodyFormat;
    QTextCharFormat lineEndFormat;
    for (std::size_t i = 0; i < kEdidSize; ++i) {
        if (i % kBytesPerLine != kBytesPerLine - 1) {
            bodyFormat.setForeground(Qt::black);
            cursor.insertText(QString::asprintf("%02X ", image[i]), bodyFormat);
            continue;
        }
        const bool checksumByte = i == kBlock0Checksum || i == kBlock1Checksum;
        lineEndFormat.setFontWeight(checksumByte ? QFont::Bold : QFont::Normal);
        lineEndFormat.setForeground(checksumByte ? Qt::red : Qt::black);
        cursor.insertText(QString::asprintf("%02X", image[i]), lineEndFormat);
        cursor.insertText(QStringLiteral("\n"));
    }
    cursor.endEditBlock();
}

// The whole text in 8-point bold of the given colour, taken as plain text.
void MainWindow::ShowHexText(const QString& text, const QColor& colour) {
    ui->EDIDtext->setFontPointSize(8);
    ui->EDIDtext->setTextColor(colour);
    ui->EDIDtext->setFontWeight(QFont::Bold);
    ui->EDIDtext->setPlainText(text);
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

void MainWindow::CalculateChkSum() {
    VerifyChecksums();
}

bool MainWindow::VerifyChecksums() {
    EdidImage image{};
    if (ParseEDIDtext(image) < 0) {
        ShowWarning(tr("Hex Format Error"));
        return false;
    }
    if (!ChecksumsCorrect(image)) {
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
    return true;
}
