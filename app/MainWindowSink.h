#pragma once

#include "app/MainWindow.h"
#include "transfer/TransferSink.h"

#include <QCoreApplication>

// The window as the read and write runs see it. Their texts are source texts
// and are translated here in the window's context.
class MainWindow::Sink : public TransferSink {
public:
    explicit Sink(MainWindow& window) : window_(window) {}

    void ShowWarning(const char* text) override { window_.ShowWarning(Translate(text)); }
    void StartProgress() override { window_.StartProgress(); }
    void on_ProgressChange(int value, int maximum) override {
        window_.on_ProgressChange(value, maximum);
    }
    void ShowStatusMessage(const char* text) override {
        window_.ShowStatusMessage(Translate(text));
    }
    void ShowReadTable(const std::string& hexText) override {
        window_.ShowHexText(QString::fromLatin1(hexText.data(), static_cast<int>(hexText.size())),
                            Qt::black);
        window_.ShowSummary();
        window_.KeepViewText();
    }

private:
    static QString Translate(const char* text) {
        return QCoreApplication::translate("MainWindow", text);
    }

    MainWindow& window_;
};
