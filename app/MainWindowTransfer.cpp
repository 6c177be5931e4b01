#include "app/MainWindow.h"
#include "app/MainWindowSink.h"
#include "app/WindowWords.h"
#include "edid/Checksum.h"
#include "edid/HexText.h"
#include "transfer/EdidRead.h"
#include "transfer/EdidWrite.h"
#include "ui_mainwindow.h"

#include <QProgressBar>
#include <QStatusBar>

void MainWindow::ReadEDID() {
    BeginAction();
    ShowReadReport(ReadEDIDfromDevice(transport_, *sink_, deviceAddress_));
}

// A read that did not succeed leaves the Hex view as it was.
void MainWindow::ShowReadReport(const ReadReport& report) {
    switch (report.outcome) {
    case ReadOutcome::Read:
        ShowStatusMessage(tr("EDID values read."));
        ShowHexText(QString::fromStdString(CanonicalHexText(report.table)), Qt::black);
        ShowSummary();
        KeepViewText();
        break;
    case ReadOutcome::NoUnit:
        ShowHardwareNotFound(report.open);
        break;
    case ReadOutcome::ChunkFailed:
        ShowWarning(tr("Error Reading EDID values."));
        ShowFailureMessage(ReadFailureReason(report.failedChunk, report.failure));
        break;
    case ReadOutcome::Stopped:
        break;
    }
}

void MainWindow::ShowWriteReport(const WriteReport& report) {
    switch (report.outcome) {
    case WriteOutcome::Written:
        ShowStatusMessage(tr("EDID values written..."));
        break;
    case WriteOutcome::NoUnit:
        ShowHardwareNotFound(report.open);
        break;
    case WriteOutcome::FailedBeforeAnyChunk:
    case WriteOutcome::FailedPartWay:
    case WriteOutcome::ChunksRefused:
        ShowStatusMessage(tr("Error Writing EDID values."));
        ShowWarning(tr("Error Writing EDID values."));
        break;
    case WriteOutcome::Stopped:
        break;
    }
}

void MainWindow::WriteEDID() {
    BeginAction();
    if (ui->automixEDID->isChecked() || ui->defaultEDID->isChecked()) {
        ShowWarning(tr("Writing is disabled in AUTOMIX and DEFAULT mode.\nChoose CUSTOM mode to "
                       "upload an EDID table\n"));
        return;
    }
    EdidImage image{};
    bool written = false;
    if (TakeTableToWrite(image)) {
        const WriteReport report = WriteEDIDtoDevice(transport_, *sink_, image, deviceAddress_);
        ShowWriteReport(report);
        written = report.Succeeded();
        // Once the unit was open, even a failed first chunk may have been
        // stored before its answer went missing.
        if (!written && report.outcome != WriteOutcome::NoUnit) {
            ShowFailureMessage(tr("Error Writing EDID values."));
            ShowWarning(tr("The unit's EDID table may now be partly written. Write the table "
                           "again."));
            // Last, so that it stays: where the write failed and why.
            ShowFailureMessage(report.outcome == WriteOutcome::ChunksRefused
                                   ? RefusedChunksReason(report.refusedChunks)
                                   : WriteFailureReason(report.failedChunk, report.failure));
        }
    }
    const bool resetAnswered = ResetAfterWrite(commands_, services_.clock).Answered();
    // Only what the unit hands back after the resets shows what it stored.
    if (written && CheckWrittenTable(image)) {
        KeepViewText();
    }
    // The unit takes a new table only after the reset pair; no other message
    // may be the last word when the pair went unanswered.
    if (!resetAnswered) {
        ShowFailureMessage(tr("The unit did not answer the EDID reset after the write."));
    }
}

// The table of the Hex view, or false when the view does not hold a whole
// one or the user declined to write wrong checksums.
bool MainWindow::TakeTableToWrite(EdidImage& image) {
    if (!TakeWholeTable(image)) {
        return false;
    }
    return ChecksumsCorrect(image) ||
           services_.dialogs.Question(nullptr, QStringLiteral("TALVO EDID Utility"),
                                      QStringLiteral("The EDID Checksum is not correct."),
                                      QStringLiteral("Write anyway?"),
                                      WindowDialogs::DefaultAnswer::No);
}

// One bar serves each run; the previous run's bar goes with it, so the status
// bar never fills up with hidden bars.
void MainWindow::StartProgress() {
    delete progressBar;
    progressBar = new QProgressBar(statusBar());
    progressBar->setTextVisible(false);
    progressBar->hide();
    statusBar()->addPermanentWidget(progressBar, 0);
}

void MainWindow::on_ProgressChange(int a, int b) {
    if (progressBar == nullptr) {
        return;
    }
    if (a <= 0 || b <= 0) {
        progressBar->hide();
        return;
    }
    progressBar->show();
    progressBar->setRange(0, b);
    progressBar->setValue(a);
}
