#include "WindowRig.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QtTest>

// The main form as built, its wiring, the About box and the ways out.
class FormTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowRig> rig;

    void StartWithoutUnit() {
        rig = std::make_unique<WindowRig>();
        rig->bridge.SetDevices({});
        rig->Start();
    }

    // Everything a slot of this window can touch, in one comparable string.
    QString Activity() const {
        return QStringLiteral("%1 boxes, %2 library calls, view '%3'")
            .arg(rig->dialogs.calls.size())
            .arg(rig->bridge.CallCount())
            .arg(rig->ViewText());
    }

private slots:
    void init() { StartWithoutUnit(); }
    void cleanup() { rig.reset(); }

    void controls_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QString>("text");

        QTest::newRow("label") << "label"
                               << "QLabel" << QRect(15, 20, 181, 16) << "Current EDID selection:";
        QTest::newRow("automixEDID") << "automixEDID"
                                     << "QRadioButton" << QRect(20, 50, 291, 17)
                                     << "AUTOMIX: Allow TALVO to create the EDID table";
        QTest::newRow("customEDID")
            << "customEDID"
            << "QRadioButton" << QRect(20, 70, 221, 17) << "CUSTOM: Use the EDID table below";
        QTest::newRow("defaultEDID")
            << "defaultEDID"
            << "QRadioButton" << QRect(20, 90, 221, 17) << "FIXED EDID: Use the fixed EDID table";
        QTest::newRow("EDIDtext") << "EDIDtext"
                                  << "QTextEdit" << QRect(10, 120, 351, 251) << "";
        QTest::newRow("ButReadEDID") << "ButReadEDID"
                                     << "QPushButton" << QRect(15, 390, 101, 23) << "Read EDID";
        QTest::newRow("ButCalculateCheckSum")
            << "ButCalculateCheckSum"
            << "QPushButton" << QRect(135, 390, 111, 23) << "Verify Checksum";
        QTest::newRow("ButWriteEDID") << "ButWriteEDID"
                                      << "QPushButton" << QRect(265, 390, 101, 23) << "Write EDID";
        QTest::newRow("ButLoadEDID")
            << "ButLoadEDID"
            << "QPushButton" << QRect(15, 425, 101, 23) << "Load from File";
        QTest::newRow("ButSaveEDID") << "ButSaveEDID"
                                     << "QPushButton" << QRect(135, 425, 111, 23) << "Save to File";
        QTest::newRow("ButClose") << "ButClose"
                                  << "QPushButton" << QRect(265, 425, 101, 23) << "Close";
    }

    void controls() {
        QFETCH(QString, name);
        QFETCH(QString, className);
        QFETCH(QRect, rect);
        QFETCH(QString, text);

        auto* widget = rig->window->findChild<QWidget*>(name);
        QVERIFY(widget);
        QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), className);
        QCOMPARE(widget->parentWidget(), rig->window->centralWidget());
        QCOMPARE(widget->parentWidget()->objectName(), QStringLiteral("centralwidget"));
        QCOMPARE(widget->geometry(), rect);
        const QByteArray property = className == "QTextEdit" ? "plainText" : "text";
        QCOMPARE(widget->property(property).toString(), text);
        QVERIFY(widget->isEnabled() || name == "EDIDtext");
    }

    void windowSettings() {
        MainWindow* window = rig->window;
        QCOMPARE(window->objectName(), QStringLiteral("MainWindow"));
        QCOMPARE(window->windowTitle(), QStringLiteral("TALVO EDID Utility"));
        QCOMPARE(window->size(), QSize(380, 500));
        QCOMPARE(window->maximumSize(), QSize(380, 500));
        QCOMPARE(window->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
        QCOMPARE(window->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
        window->resize(600, 700);
        QCOMPARE(window->size(), QSize(380, 500));
        QCOMPARE(rig->Find<QWidget>("ButClose")->geometry(), QRect(265, 425, 101, 23));
        QCOMPARE(window->menuBar()->objectName(), QStringLiteral("menubar"));
        QCOMPARE(window->statusBar()->objectName(), QStringLiteral("statusbar"));
        QCOMPARE(window->menuBar()->geometry(), QRect(0, 0, 380, 21));
    }

    void fonts() {
        QCOMPARE(rig->Find<QLabel>("label")->font().pointSize(), 12);
        const QFont hexFont = rig->View()->font();
        QCOMPARE(hexFont.family(), QStringLiteral("Courier New"));
        QCOMPARE(hexFont.styleHint(), QFont::TypeWriter);
    }

    // Measured with each control's own font and style, as the fonts the
    // machine has render it: nothing may be clipped by its rectangle.
    void everyTextFitsItsControl() {
        const QWidget* central = rig->Find<QWidget>("centralwidget");
        for (const QAbstractButton* button : central->findChildren<QAbstractButton*>()) {
            const int needed = qobject_cast<const QPushButton*>(button)
                                   ? button->fontMetrics().horizontalAdvance(button->text()) +
                                         2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin)
                                   : button->sizeHint().width();
            QVERIFY2(needed <= button->width(), qPrintable(button->objectName()));
            QVERIFY2(button->fontMetrics().tightBoundingRect(button->text()).height() <=
                         button->height(),
                     qPrintable(button->objectName()));
        }
        const QLabel* label = rig->Find<QLabel>("label");
        QVERIFY(label->sizeHint().width() <= label->width());
        // The ink of the text, as a line's leading may overhang the rectangle.
        QVERIFY(label->fontMetrics().tightBoundingRect(label->text()).height() <= label->height());
    }

    void menusHoldOneEntryEach() {
        const QList<QAction*> menus = rig->window->menuBar()->actions();
        QCOMPARE(menus.size(), 2);
        QCOMPARE(menus[0]->menu()->objectName(), QStringLiteral("menuFile"));
        QCOMPARE(menus[0]->text(), QStringLiteral("File"));
        QCOMPARE(menus[1]->menu()->objectName(), QStringLiteral("menuHelp"));
        QCOMPARE(menus[1]->text(), QStringLiteral("Help"));
        const QList<QAction*> file = menus[0]->menu()->actions();
        const QList<QAction*> help = menus[1]->menu()->actions();
        QCOMPARE(file.size(), 1);
        QCOMPARE(file[0]->objectName(), QStringLiteral("actionExit"));
        QCOMPARE(file[0]->text(), QStringLiteral("Exit"));
        QCOMPARE(help.size(), 1);
        QCOMPARE(help[0]->objectName(), QStringLiteral("actionAbout"));
        QCOMPARE(help[0]->text(), QStringLiteral("About"));
    }

    void buttonsActOnPressOnly_data() {
        QTest::addColumn<QString>("name");
        // "Close" ends the process on press: the exit test presses it.
        for (const char* name : {"ButReadEDID", "ButWriteEDID", "ButLoadEDID", "ButSaveEDID",
                                 "ButCalculateCheckSum"}) {
            QTest::newRow(name) << name;
        }
    }

    void buttonsActOnPressOnly() {
        QFETCH(QString, name);
        auto* button = rig->window->findChild<QPushButton*>(name);
        const QString before = Activity();
        QTest::mousePress(button, Qt::LeftButton);
        const QString pressed = Activity();
        QVERIFY2(pressed != before, "pressing runs the operation");
        QTest::mouseRelease(button, Qt::LeftButton);
        QCOMPARE(Activity(), pressed);
    }

    void modeButtonsAreOneGroup() {
        QVERIFY(rig->Radio("automixEDID")->isChecked());
        QVERIFY(!rig->Radio("customEDID")->isChecked());
        QVERIFY(!rig->Radio("defaultEDID")->isChecked());
        rig->Radio("customEDID")->setChecked(true);
        QVERIFY(!rig->Radio("automixEDID")->isChecked());
        rig->Radio("defaultEDID")->setChecked(true);
        QVERIFY(!rig->Radio("customEDID")->isChecked());
        // Set in code, a button runs no slot and so sends nothing.
        QVERIFY(rig->Log().isEmpty());
        QVERIFY(rig->NativeTexts().isEmpty());
    }

    void aboutBox() {
        rig->Find<QAction>("actionAbout")->trigger();
        QCOMPARE(rig->dialogs.calls.size(), 1);
        const ScriptedDialogs::Call& about = rig->dialogs.calls[0];
        QCOMPARE(about.kind, QStringLiteral("about"));
        QCOMPARE(about.parent, rig->window.data());
        QCOMPARE(about.title, QStringLiteral("About TALVO EDID Utility"));
        QVERIFY(about.text.startsWith("<h2>TALVO EDID Utility Version 1.0</h2><p>"));
    }

    void exitClosesTheDeviceAndEndsWithStatusZero_data() {
        QTest::addColumn<bool>("fromMenu");
        QTest::newRow("Close button") << false;
        QTest::newRow("File > Exit") << true;
    }

    // The exit runs in a child process: it never returns.
    void exitClosesTheDeviceAndEndsWithStatusZero() {
        QFETCH(bool, fromMenu);
        const int status = ExitStatusInChild(
            rig->processExit,
            [this, fromMenu] {
                if (fromMenu) {
                    rig->Find<QAction>("actionExit")->trigger();
                } else {
                    QTest::mousePress(rig->Find<QPushButton>("ButClose"), Qt::LeftButton);
                }
            },
            [this, slept = rig->clock.Slept()] {
                return rig->clock.Slept() - slept == 100 && rig->dialogs.calls.isEmpty();
            });
        QCOMPARE(status, 0);
        QVERIFY(!rig->window.isNull());
    }

    void titleBarCloseTouchesNoDevice() {
        const int calls = rig->bridge.CallCount();
        const std::uint64_t slept = rig->clock.Slept();
        rig->window->show();
        QVERIFY(rig->window->close());
        QCOMPARE(rig->bridge.CallCount(), calls);
        QCOMPARE(rig->clock.Slept(), slept);
    }
};

QTEST_MAIN(FormTest)
#include "FormTest.moc"
