#include "tests/support/WindowRig.h"

#include <QAbstractButton>
#include <QAction>
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
        QTest::addColumn<QString>("text");
        const char* const controls[][3] = {
            {"label", "QLabel", "Current EDID selection:"},
            {"automixEDID", "QRadioButton", "AUTOMIX: Allow TALVO to create the EDID table"},
            {"customEDID", "QRadioButton", "CUSTOM: Use the EDID table below"},
            {"defaultEDID", "QRadioButton", "FIXED EDID: Use the fixed EDID table"},
            {"EDIDtext", "QTextEdit", ""},
            {"ButReadEDID", "QPushButton", "Read EDID"},
            {"ButCalculateCheckSum", "QPushButton", "Verify Checksum"},
            {"ButWriteEDID", "QPushButton", "Write EDID"},
            {"ButLoadEDID", "QPushButton", "Load from File"},
            {"ButSaveEDID", "QPushButton", "Save to File"},
            {"ButClose", "QPushButton", "Close"},
            {"actionExit", "QAction", "Exit"},
            {"actionAbout", "QAction", "About"},
        };
        for (const auto& control : controls) {
            QTest::newRow(control[0])
                << QString(control[0]) << QString(control[1]) << QString(control[2]);
        }
    }

    // Each control is there with its text, which fits it as the fonts the
    // machine has render it, measured with the control's own font and style.
    void controls() {
        QFETCH(QString, name);
        QFETCH(QString, className);
        QFETCH(QString, text);
        QObject* object = rig->window->findChild<QObject*>(name);
        QVERIFY(object);
        QCOMPARE(QString::fromLatin1(object->metaObject()->className()), className);
        const QByteArray property = className == "QTextEdit" ? "plainText" : "text";
        QCOMPARE(object->property(property).toString(), text);
        auto* widget = qobject_cast<QWidget*>(object);
        if (widget == nullptr || text.isEmpty()) {
            return;
        }
        const int needed = qobject_cast<QPushButton*>(widget)
                               ? widget->fontMetrics().horizontalAdvance(text) +
                                     2 * widget->style()->pixelMetric(QStyle::PM_ButtonMargin)
                               : widget->sizeHint().width();
        QVERIFY(needed <= widget->width());
        // The ink of the text, as a line's leading may overhang the rectangle.
        QVERIFY(widget->fontMetrics().tightBoundingRect(text).height() <= widget->height());
        QVERIFY(widget->isEnabled());
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
};

QTEST_MAIN(FormTest)
#include "FormTest.moc"
