#include "app/MainWindow.h"
#include "transfer/EdidRead.h"

#include <QStringList>

#include <vector>

namespace {

// Offsets named in the warning; the count says how many there are in all.
constexpr std::size_t kOffsetsNamed = 8;

std::vector<int> DifferingOffsets(const EdidImage& written, const EdidImage& stored) {
    std::vector<int> offsets;
    for (std::size_t i = 0; i < kEdidSize; ++i) {
        if (written[i] != stored[i]) {
            offsets.push_back(static_cast<int>(i));
        }
    }
    return offsets;
}

} // namespace

// The read-back is the window's check, not a read the user asked for: it
// drives the progress bar but leaves the Hex view alone, and its failures are
// told as the check's.
bool MainWindow::CheckWrittenTable(const EdidImage& written) {
    const ReadReport read = ReadEDIDfromDevice(transport_, *sink_, deviceAddress_);
    if (!read.Succeeded()) {
        ShowFailureMessage(tr("The table was written, but could not be read back to check it."));
        return true;
    }
    const std::vector<int> offsets = DifferingOffsets(written, read.table);
    if (offsets.empty()) {
        return true;
    }
    QStringList named;
    for (std::size_t i = 0; i < offsets.size() && i < kOffsetsNamed; ++i) {
        named.append(QString::asprintf("0x%02X", offsets[i]));
    }
    const QString list = named.join(QStringLiteral(", "));
    QString warning;
    if (offsets.size() == 1) {
        warning = tr("The table read back differs from the one written in 1 byte, at offset %1.")
                      .arg(list);
    } else if (offsets.size() <= kOffsetsNamed) {
        warning = tr("The table read back differs from the one written in %1 bytes, at offsets "
                     "%2.")
                      .arg(offsets.size())
                      .arg(list);
    } else {
        warning = tr("The table read back differs from the one written in %1 bytes, first at "
                     "offsets %2.")
                      .arg(offsets.size())
                      .arg(list);
    }
    warning += QLatin1Char(' ') + tr("Write the table again.");
    ShowFailureMessage(tr("The table read back differs from the one written."));
    ShowWarning(warning);
    return false;
}
