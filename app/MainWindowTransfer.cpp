#include "Checksum.h"
#include "EdidRead.h"
#include "EdidWrite.h"
#include "MainWindow.h"
#include "MainWindowSink.h"
#include "ui_mainwindow.h"

#include <QProgressBar>
#include <QStatusBar>

void MainWindow::ReadEDID() {
    ReadEDIDfromDevice(transport_, *sink_, deviceAddress_);
}

void MainWindow::WriteEDID() {
    if (ui->automixEDID->isChecked() || ui->defaultEDID->isChecked()) {
        ShowWarning(tr("Writing is disabled in AUTOMIX and DEFAULT mode.\nChoose CUSTOM mode to "
                       "upload an EDID table\n"));
        return;
    }
    EdidImage image{};
    if (TakeTableToWrite(image)) {
        WriteEDIDtoDevice(transport_, *sink_, image, deviceAddress_);
    }
    ResetAfterWrite(commands_, services_.clock);
}

// The table of the Hex view, or false when the view does not hold a whole
// one or the user declined to write wrong checksums.
bool MainWindow::TakeTableToWrite(EdidImage& image) {
    const int count = ParseEDIDtext(image);
    if (count < 0) {
        ShowWarning(tr("Hex Format Error"));
        return false;
    }
    // A short table would overwrite the rest of the unit's table with zeros.
    if (count < static_cast<int>(kEdidSize)) {
        ShowWarning(tr("Incomplete EDID table: %1 of 256 byte values.").arg(count));
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
