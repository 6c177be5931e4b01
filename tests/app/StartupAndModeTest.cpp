#include "WindowRig.h"

#include <QtTest>

// The start-up sync of the window with the unit's mode, and the mode buttons.
class StartupAndModeTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowRig> rig;

    static QStringList ModeCycles(const QString& code) {
        QStringList log;
        for (const char* address : {"E0", "E1", "E4"}) {
            log << "open" << QStringLiteral("11 02 %1 23 24 %2 0D").arg(address, code) << "close";
        }
        return log;
    }

    QString CheckedMode() const {
        for (const char* name : {"automixEDID", "customEDID", "defaultEDID"}) {
            if (rig->Radio(name)->isChecked()) {
                return QString::fromLatin1(name);
            }
        }
        return QStringLiteral("none");
    }

private slots:
    void init() { rig = std::make_unique<WindowRig>(); }
    void cleanup() { rig.reset(); }

    void startupFollowsTheUnitsMode_data() {
        QTest::addColumn<int>("modeCode");
        QTest::addColumn<QString>("checked");
        QTest::addColumn<bool>("viewEnabled");
        QTest::newRow("code 0") << 0 << "automixEDID" << false;
        QTest::newRow("AUTOMIX") << 1 << "automixEDID" << false;
        QTest::newRow("FIXED") << 2 << "defaultEDID" << false;
        QTest::newRow("CUSTOM") << 3 << "customEDID" << true;
        QTest::newRow("code 7") << 7 << "automixEDID" << false;
    }

    // A query that fails is the device fault matrix's.
    void startupFollowsTheUnitsMode() {
        QFETCH(int, modeCode);
        QFETCH(QString, checked);
        QFETCH(bool, viewEnabled);

        rig->unit.SetModeCode(static_cast<std::uint8_t>(modeCode));
        rig->Start();

        QCOMPARE(CheckedMode(), checked);
        QCOMPARE(rig->View()->isEnabled(), viewEnabled);
        QCOMPARE(rig->window->DeviceAddress(), std::uint8_t{0xB0});
        QVERIFY(rig->dialogs.calls.isEmpty());
        QVERIFY(rig->NativeTexts().isEmpty());

        // The table is read whatever the query gave.
        QCOMPARE(rig->Log(),
                 QStringList({"open", "close", "open", "02", "close"}) + ReadRequests());
        QCOMPARE(rig->ViewText(), QString::fromStdString(CanonicalHexText(rig->unit.Memory(0xB0))));
        QCOMPARE(rig->bridge.OpenHandles(), 0);
    }

    void unitAbsentAtStartup() {
        rig->bridge.SetDevices({});
        rig->Start();
        QCOMPARE(CheckedMode(), QStringLiteral("automixEDID"));
        QVERIFY(!rig->View()->isEnabled());
        QVERIFY(rig->ViewText().isEmpty());
        QVERIFY(rig->dialogs.calls.isEmpty());
        QVERIFY(rig->NativeTexts().isEmpty());
        QVERIFY(rig->Log().isEmpty());
    }

    void modeButtonsSwitchTheUnit_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("viewEnabled");
        QTest::newRow("CUSTOM") << "customEDID"
                                << "03" << true;
        QTest::newRow("FIXED") << "defaultEDID"
                               << "02" << false;
        QTest::newRow("AUTOMIX, already checked") << "automixEDID"
                                                  << "01" << false;
    }

    void modeButtonsSwitchTheUnit() {
        QFETCH(QString, button);
        QFETCH(QString, code);
        QFETCH(bool, viewEnabled);

        rig->Start();
        rig->Forget();
        rig->Radio(button.toLatin1().constData())->click();
        QCOMPARE(rig->NewLog(), ModeCycles(code));
        QCOMPARE(rig->unit.ModeCode(), static_cast<std::uint8_t>(code.toInt()));
        QCOMPARE(CheckedMode(), button);
        QCOMPARE(rig->View()->isEnabled(), viewEnabled);
    }

    void modeClickWithoutUnitStillShowsTheChoice() {
        rig->bridge.SetDevices({});
        rig->Start();
        rig->Radio("customEDID")->click();
        QCOMPARE(rig->NativeTexts(), QStringList(3, "Hardware not found!"));
        QVERIFY(rig->dialogs.calls.isEmpty());
        QCOMPARE(CheckedMode(), QStringLiteral("customEDID"));
        QVERIFY(rig->View()->isEnabled());
    }

    // The query is the first transaction; AUTOMIX is then only a default.
    void unansweredStartupQueryLeavesTheModeUnknown() {
        rig->unit.SetModeCode(SimulatedUnit::kCustom);
        rig->bridge.ReplyNever(1);
        rig->Start();
        QCOMPARE(CheckedMode(), QStringLiteral("automixEDID"));
        QCOMPARE(rig->StatusMessage(), QStringLiteral("The unit's EDID mode is unknown."));
        QVERIFY(rig->dialogs.calls.isEmpty());
    }

    void unansweredModeClickIsSaidOncePerClick_data() {
        QTest::addColumn<QList<int>>("unanswered");
        QTest::newRow("first request") << QList<int>{1};
        QTest::newRow("all three requests") << QList<int>{1, 2, 3};
    }

    void unansweredModeClickIsSaidOncePerClick() {
        QFETCH(QList<int>, unanswered);
        rig->Start();
        for (int request : unanswered) {
            rig->bridge.ReplyNever(rig->bridge.TransactionCount() + request);
        }
        rig->Radio("customEDID")->click();
        QCOMPARE(rig->dialogs.Warnings(),
                 QStringList{"The unit did not confirm the EDID mode change."});
        QCOMPARE(rig->dialogs.calls[0].parent, rig->window.data());
        QCOMPARE(CheckedMode(), QStringLiteral("customEDID"));
        QVERIFY(rig->View()->isEnabled());
    }

    void selectEdidPicksTheAddressByte_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("address");
        QTest::newRow("0") << 0 << 0xB0;
        QTest::newRow("1") << 1 << 0xA0;
        QTest::newRow("2") << 2 << 0xB2;
        QTest::newRow("3") << 3 << 0xB4;
        QTest::newRow("4") << 4 << 0xB6;
        QTest::newRow("5 keeps it") << 5 << 0xB4;
        QTest::newRow("-1 keeps it") << -1 << 0xB4;
    }

    void selectEdidPicksTheAddressByte() {
        QFETCH(int, index);
        QFETCH(int, address);
        rig->Start();
        QMetaObject::invokeMethod(rig->window, "SelectEdid", Q_ARG(int, 3));
        QMetaObject::invokeMethod(rig->window, "SelectEdid", Q_ARG(int, index));
        QCOMPARE(rig->window->DeviceAddress(), static_cast<std::uint8_t>(address));

        rig->Forget();
        rig->Invoke("ReadEDID");
        QCOMPARE(rig->NewLog(), ReadRequests(QString::number(address, 16).toUpper()));
        QCOMPARE(rig->ViewText(), QString::fromStdString(CanonicalHexText(
                                      rig->unit.Memory(static_cast<std::uint8_t>(address)))));
    }
};

QTEST_MAIN(StartupAndModeTest)
#include "StartupAndModeTest.moc"
