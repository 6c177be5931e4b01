#include "app/MainWindow.h"
#include "edid/EdidDecode.h"
#include "edid/EdidSummary.h"
#include "ui_mainwindow.h"

#include <QLabel>
#include <QStatusBar>

// The right half of the status bar: the timed messages keep the left half,
// and the progress bar of a run sits beside the summary.
void MainWindow::CreateSummaryLabel() {
    summaryLabel = new QLabel(statusBar());
    summaryLabel->setObjectName(QStringLiteral("summaryLabel"));
    summaryLabel->setFixedWidth(width() / 2);
    statusBar()->addPermanentWidget(summaryLabel, 0);
    // Any edit makes the summary stale; the operations that show a table set
    // it again after their own change to the view.
    connect(ui->EDIDtext, &QTextEdit::textChanged, summaryLabel, [this] {
        summaryLabel->clear();
        summaryLabel->setToolTip(QString());
    });
}

// Says what the table in the view describes, cut to the label's width with
// the whole line as its tool tip; says nothing while the view does not hold
// a whole table.
void MainWindow::ShowSummary() {
    EdidImage image{};
    const bool whole = ParseEDIDtext(image) >= static_cast<int>(kEdidSize);
    const QString summary =
        whole ? QString::fromStdString(SummariseEdid(DecodeEdid(image.data(), image.size())))
              : QString();
    summaryLabel->setToolTip(summary);
    summaryLabel->setText(
        summaryLabel->fontMetrics().elidedText(summary, Qt::ElideRight, summaryLabel->width()));
}
