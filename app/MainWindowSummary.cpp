#include "app/ElidedLabel.h"
#include "app/MainWindow.h"
#include "edid/EdidDecode.h"
#include "edid/EdidSummary.h"
#include "ui_mainwindow.h"

#include <QStatusBar>

// The summary takes the whole status bar beside the progress bar and steps
// aside while a message is shown, so that it never cuts a message short. The
// status bar does that only for a message shown while it is visible: a
// message of the start-up, shown before the window, would be covered.
void MainWindow::CreateSummaryLabel() {
    summaryLabel = new ElidedLabel(statusBar());
    summaryLabel->setObjectName(QStringLiteral("summaryLabel"));
    // Where the status bar starts its messages, so that neither seems to move.
    summaryLabel->setContentsMargins(4, 0, 0, 0);
    statusBar()->addWidget(summaryLabel, 1);
    connect(statusBar(), &QStatusBar::messageChanged, summaryLabel,
            [this](const QString& message) { summaryLabel->setVisible(message.isEmpty()); });
    // Any edit makes the summary stale; the operations that show a table set
    // it again after their own change to the view.
    connect(ui->EDIDtext, &QTextEdit::textChanged, summaryLabel, [this] {
        summaryLabel->clear();
        summaryLabel->setToolTip(QString());
    });
}

// Says what the table in the view describes, cut with an ellipsis where the
// status bar is too narrow, with the whole line as its tool tip; says nothing
// while the view does not hold a whole table.
void MainWindow::ShowSummary() {
    EdidImage image{};
    const bool whole = ParseEDIDtext(image) >= static_cast<int>(kEdidSize);
    const QString summary =
        whole ? QString::fromStdString(SummariseEdid(DecodeEdid(image.data(), image.size())))
              : QString();
    summaryLabel->setToolTip(summary);
    summaryLabel->setText(summary);
}
