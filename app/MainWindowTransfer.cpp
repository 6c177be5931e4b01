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
    WriteEDIDtoDevice(transport_, *sink_, deviceAddress_);
    ResetAfterWrite(commands_, services_.clock);
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
