#include "app/MainWindow.h"
#include "app/TableDetailsWindow.h"
#include "ui_mainwindow.h"

#include <QMenu>
#include <QMenuBar>

// Between File and Help; the form itself keeps its widgets and size.
void MainWindow::CreateTableMenu() {
    auto* menu = new QMenu(tr("Table"), menuBar());
    menu->setObjectName(QStringLiteral("menuTable"));
    menuBar()->insertMenu(ui->menuHelp->menuAction(), menu);
    QAction* details = menu->addAction(tr("Details..."));
    details->setObjectName(QStringLiteral("actionDetails"));
    connect(details, &QAction::triggered, this, &MainWindow::ShowTableDetails);
}

// Beside the main window, not modal: the Hex view stays usable.
void MainWindow::ShowTableDetails() {
    if (details_ == nullptr) {
        details_ = new TableDetailsWindow(ui->EDIDtext, this);
        details_->move(frameGeometry().topRight());
    }
    details_->show();
    details_->raise();
    details_->activateWindow();
}
