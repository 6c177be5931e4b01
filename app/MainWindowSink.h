#pragma once

#include "MainWindow.h"
#include "TransferSink.h"

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
    void ShowIncompleteTable(int count) override {
        window_.ShowWarning(
            MainWindow::tr("Incomplete EDID table: %1 of 256 byte values.").arg(count));
    }
    void ShowReadTable(const std::string& hexText) override {
        window_.ShowHexText(QString::fromLatin1(hexText.data(), static_cast<int>(hexText.size())),
                            Qt::black);
    }
    int ParseEDIDtext(EdidImage& image) override { return window_.ParseEDIDtext(image); }
    bool ConfirmWriteWithWrongChecksum() override {
        return window_.services_.dialogs.Question(
            nullptr, QStringLiteral("TALVO EDID Utility"),
            QStringLiteral("The EDID Checksum is not correct."), QStringLiteral("Write anyway?"),
            WindowDialogs::DefaultAnswer::No);
    }

private:
    static QString Translate(const char* text) {
        return QCoreApplication::translate("MainWindow", text);
    }

    MainWindow& window_;
};
