#include "tests/support/HexViewProbe.h"
#include "tests/support/WindowRig.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMetaEnum>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
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
            {"actionLoad", "QAction", "&Load from File..."},
            {"actionSave", "QAction", "&Save to File..."},
            {"actionExit", "QAction", "E&xit"},
            {"actionRead", "QAction", "&Read EDID"},
            {"actionWrite", "QAction", "&Write EDID"},
            {"actionAbout", "QAction", "&About"},
            {"menuFile", "QMenu", "&File"},
            {"menuUnit", "QMenu", "&Unit"},
            {"menuHelp", "QMenu", "&Help"},
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
        const QByteArray property = className == "QTextEdit" ? "plainText"
                                    : className == "QMenu"   ? "title"
                                                             : "text";
        QCOMPARE(object->property(property).toString(), text);
        auto* widget = qobject_cast<QWidget*>(object);
        if (widget == nullptr || text.isEmpty() || className == "QMenu") {
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

    void startUp_data() {
        QTest::addColumn<bool>("unit");
        QTest::addColumn<int>("libraryProblem");
        QTest::addColumn<int>("modeCode");
        QTest::addColumn<QString>("checked");
        QTest::addColumn<QString>("status");
        const QString read = QStringLiteral("EDID values read.");
        const int loaded = int(BridgeLoadProblem::None);
        QTest::newRow("no unit") << false << loaded << 0 << "automixEDID"
                                 << "No TALVO unit is attached.";
        QTest::newRow("no bridge library")
            << false << int(BridgeLoadProblem::LibraryNotLoaded) << 0 << "automixEDID"
            << "The bridge library libSiUSBXp.so could not be loaded: loader's text.";
        QTest::newRow("an operation missing")
            << false << int(BridgeLoadProblem::OperationMissing) << 0 << "automixEDID"
            << "The bridge library libSiUSBXp.so lacks the operation SI_Open: loader's text.";
        QTest::newRow("libusb not started")
            << false << int(BridgeLoadProblem::UsbNotStarted) << 0 << "automixEDID"
            << "libusb could not be started: loader's text.";
        QTest::newRow("AUTOMIX") << true << loaded << int(SimulatedUnit::kAutomix) << "automixEDID"
                                 << read;
        QTest::newRow("FIXED") << true << loaded << int(SimulatedUnit::kFixed) << "defaultEDID"
                               << read;
        QTest::newRow("CUSTOM") << true << loaded << int(SimulatedUnit::kCustom) << "customEDID"
                                << read;
        QTest::newRow("code 0") << true << loaded << 0 << "automixEDID"
                                << "The unit's EDID mode is unknown (code 0).";
        QTest::newRow("code 7") << true << loaded << 7 << "automixEDID"
                                << "The unit's EDID mode is unknown (code 7).";
    }

    // The view is open for edits exactly while CUSTOM is checked, the table
    // is read whenever a unit answered, and the status bar says what the
    // window could not find out, whole, until the first action.
    void startUp() {
        QFETCH(bool, unit);
        QFETCH(int, libraryProblem);
        QFETCH(int, modeCode);
        QFETCH(QString, checked);
        QFETCH(QString, status);
        rig = std::make_unique<WindowRig>();
        if (!unit) {
            rig->bridge.SetDevices({});
        }
        // Only the problem's kind decides the words; the rest is carried, and
        // a system text that ends a sentence does not end it twice.
        rig->libraryFailure.problem = static_cast<BridgeLoadProblem>(libraryProblem);
        rig->libraryFailure.library = "libSiUSBXp.so";
        rig->libraryFailure.operation = "SI_Open";
        rig->libraryFailure.systemText = "loader's text.";
        rig->unit.SetModeCode(static_cast<std::uint8_t>(modeCode));
        rig->Start();

        for (const char* radio : {"automixEDID", "customEDID", "defaultEDID"}) {
            QCOMPARE(rig->Radio(radio)->isChecked(), checked == radio);
        }
        QCOMPARE(rig->View()->isEnabled(), checked == "customEDID");
        QCOMPARE(rig->ViewText().isEmpty(), !unit);
        QVERIFY(rig->dialogs.calls.isEmpty());
        QVERIFY(!rig->window->windowIcon().isNull());
        QCOMPARE(rig->StatusMessage(), status);
        QCOMPARE(rig->MessageStays(), status != "EDID values read.");
        // The window's own words fit; the loader's text may not, and the
        // tooltip holds the reason whole.
        if (libraryProblem == int(BridgeLoadProblem::None)) {
            QVERIFY(rig->window->statusBar()->fontMetrics().horizontalAdvance(status) <
                    rig->window->width() -
                        2 * rig->window->statusBar()->layout()->contentsMargins().left());
        } else {
            QCOMPARE(rig->window->statusBar()->toolTip(), status);
        }
        // The summary steps aside while a message is shown.
        auto* summary = rig->Find<QLabel>("summaryLabel");
        rig->window->show();
        QVERIFY(!summary->isVisible());
        rig->window->statusBar()->clearMessage();
        QVERIFY(summary->isVisible());
        rig->window->statusBar()->showMessage(status);
        QVERIFY(!summary->isVisible());

        rig->Invoke("CalculateChkSum");
        QVERIFY(rig->StatusMessage() != status || status == "EDID values read.");
    }

    void shortcuts_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("keys");
        QTest::newRow("Load") << "actionLoad"
                              << "Ctrl+O";
        QTest::newRow("Save") << "actionSave"
                              << "Ctrl+S";
        QTest::newRow("Exit") << "actionExit"
                              << "Ctrl+Q";
        QTest::newRow("Read") << "actionRead"
                              << "Ctrl+Shift+R";
        QTest::newRow("Write") << "actionWrite"
                               << "Ctrl+Shift+B";
    }

    // Read and Write take keys that no platform gives another meaning, here
    // or anywhere Qt knows the conventions of.
    void shortcuts() {
        QFETCH(QString, action);
        QFETCH(QString, keys);
        const QKeySequence shortcut = rig->Find<QAction>(action.toLatin1())->shortcut();
        QCOMPARE(shortcut, QKeySequence(keys));
        if (action != "actionRead" && action != "actionWrite") {
            return;
        }
        QVERIFY(shortcut != QKeySequence(QStringLiteral("Ctrl+W")));
        const QMetaEnum standardKeys = QMetaEnum::fromType<QKeySequence::StandardKey>();
        for (int i = 0; i < standardKeys.keyCount(); ++i) {
            const auto key = static_cast<QKeySequence::StandardKey>(standardKeys.value(i));
            QVERIFY2(!QKeySequence::keyBindings(key).contains(shortcut), standardKeys.key(i));
        }
    }

    // Tab leaves the view as it is and moves on.
    void tabMovesFocusOutOfTheView() {
        rig->View()->setEnabled(true);
        rig->View()->setPlainText(QStringLiteral("00 11"));
        rig->window->show();
        // Wine activates a window only now and then; keyboard focus needs it.
        if (!QTest::qWaitForWindowActive(rig->window)) {
            QSKIP("the platform did not activate the window");
        }
        rig->View()->setFocus();
        QTRY_VERIFY(rig->View()->hasFocus());
        QTest::keyClick(rig->View(), Qt::Key_Tab);
        QCOMPARE(rig->ViewText(), QStringLiteral("00 11"));
        QVERIFY(!rig->View()->hasFocus());
    }

    void leavingAsksWhenTheViewChanged_data() {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("answerYes");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("left");
        const char* const ways[] = {"title bar", "File > Exit", "Close button"};
        for (const char* way : ways) {
            QTest::addRow("%s, table as read", way) << way << "none" << false << false << true;
            QTest::addRow("%s, typed, No", way) << way << "typed" << false << true << false;
            QTest::addRow("%s, typed, Yes", way) << way << "typed" << true << true << true;
        }
        QTest::newRow("same table in lower case") << "title bar"
                                                  << "lower case" << false << false << true;
        QTest::newRow("checksums repaired") << "title bar"
                                            << "repaired" << false << true << false;
        QTest::newRow("typed, then saved") << "title bar"
                                           << "saved" << false << false << true;
        QTest::newRow("another table, written") << "title bar"
                                                << "written" << false << false << true;
    }

    void leavingAsksWhenTheViewChanged() {
        QFETCH(QString, way);
        QFETCH(QString, change);
        QFETCH(bool, answerYes);
        QFETCH(bool, asked);
        QFETCH(bool, left);
        if (way != "title bar" && !kExitRunsInChild) {
            QSKIP("the exit would end the test program: no child process to run it in");
        }
        rig = std::make_unique<WindowRig>();
        rig->unit.SetModeCode(SimulatedUnit::kCustom);
        rig->Start();
        const QString read = rig->ViewText();
        QVERIFY(!read.isEmpty());
        QTemporaryDir folder;
        if (change == "typed") {
            QTextCursor(rig->View()->document()).insertText(QStringLiteral("0"));
        } else if (change == "lower case") {
            rig->View()->setPlainText(read.toLower());
        } else if (change == "repaired" || change == "saved") {
            EdidImage table = PatternTable();
            table[127] ^= 0x01;
            rig->View()->setPlainText(CanonicalLayout(table));
            rig->dialogs.answerYes = true;
            rig->dialogs.fileName = folder.filePath(QStringLiteral("t.bin"));
            rig->Invoke(change == "saved" ? "SaveEDIDtoFile" : "CalculateChkSum");
        } else if (change == "written") {
            rig->View()->setPlainText(CanonicalLayout(PatternTable(5)));
            rig->Invoke("WriteEDID");
            QVERIFY(rig->unit.Memory(0xB0) == PatternTable(5));
        }
        rig->Forget();
        rig->dialogs.answerYes = answerYes;

        if (way == "title bar") {
            QCOMPARE(rig->window->close(), left);
            QCOMPARE(rig->dialogs.calls.size(), asked ? 1 : 0);
        } else {
            const int status = ExitStatusInChild(
                rig->processExit,
                [this, way] {
                    if (way == "File > Exit") {
                        rig->Find<QAction>("actionExit")->trigger();
                    } else {
                        QTest::mousePress(rig->Find<QPushButton>("ButClose"), Qt::LeftButton);
                    }
                },
                [this, asked] { return rig->dialogs.calls.size() == (asked ? 1 : 0); });
            QCOMPARE(status, left ? 0 : -1);
        }
        if (asked && way == "title bar") {
            const ScriptedDialogs::Call& box = rig->dialogs.calls[0];
            QCOMPARE(box.kind, QStringLiteral("question"));
            QCOMPARE(box.parent, rig->window.data());
            QCOMPARE(box.defaultAnswer, WindowDialogs::DefaultAnswer::No);
        }
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
        if (!kExitRunsInChild) {
            QSKIP("the exit would end the test program: no child process to run it in");
        }
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
