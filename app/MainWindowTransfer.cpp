#include "app/MainWindow.h"
#include "app/MainWindowSink.h"
#include "edid/Checksum.h"
#include "transfer/EdidRead.h"
#include "transfer/EdidWrite.h"
#include "ui_mainwindow.h"

#include <QProgressBar>
#include <QStatusBar>

void MainWindow::ReadEDID() {
    BeginAction();
    ReadEDIDfromDevice(transport_, *sink_, deviceAddress_);
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
        written = report.Succeeded();
        // Once the unit was open, even a failed first chunk may have been
        // stored before its answer went missing.
        if (!written && report.outcome != WriteOutcome::NoUnit) {
            ShowFailureMessage(tr("Error Writing EDID values."));
            ShowWarning(tr("The unit's EDID table may now be partly written. Write the table "
                           "again."));
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
