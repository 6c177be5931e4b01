#pragma once

#include "app/MainWindow.h"
#include "transfer/TransferSink.h"

#include <QCoreApplication>

// The window as the read and write runs see them while they run: the
// progress bar, and the status bar for a chunk the unit refused. What a run
// came to the window words from its report.
class MainWindow::Sink : public TransferSink {
public:
    explicit Sink(MainWindow& window) : window_(window) {}

    void StartProgress() override { window_.StartProgress(); }
    void ShowProgress(int value, int maximum) override {
        window_.on_ProgressChange(value, maximum);
    }
    void ChunkRefused(int) override {
        window_.ShowStatusMessage(
            QCoreApplication::translate("MainWindow", "Error Writing EDID values."));
    }

private:
    MainWindow& window_;
};
