#include "ControlCommands.h"
#include "FakeClock.h"
#include "RecordingNativeWarning.h"
#include "SimulatedBridge.h"
#include "SimulatedUnit.h"
#include "StringLists.h"
#include "TransportRig.h"

#include <QtTest>

#include <memory>

namespace {

class RecordingWindowWarning : public WindowWarning {
public:
    void ShowWarning(const char* text) override { texts.append(QString::fromLatin1(text)); }
    QStringList texts;
};

// The log of one control request in its own open/close cycle.
QStringList Cycle(const QString& request) {
    return {"open", request, "close"};
}

} // namespace

class ControlCommandsTest : public QObject {
    Q_OBJECT

private:
    struct Rig : TransportRig {
        ControlCommands commands{transport};
        RecordingWindowWarning window;
    };
    std::unique_ptr<Rig> rig;

private slots:
    void init() { rig = std::make_unique<Rig>(); }

    void setModeSendsThreeCycles_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("code");
        QTest::newRow("AUTOMIX") << "AutomixEDID" << 1;
        QTest::newRow("FIXED") << "FixedEDID" << 2;
        QTest::newRow("CUSTOM") << "CustomEDID" << 3;
    }

    void setModeSendsThreeCycles() {
        QFETCH(QString, key);
        QFETCH(int, code);
        const ControlReport report = rig->commands.SetEDIDMode(key.toLatin1().constData());
        QVERIFY(report.Answered());
        QCOMPARE(report.requests.size(), std::size_t{3});
        const QString payload = QStringLiteral("23 24 %1 0D").arg(code, 2, 10, QChar('0'));
        QCOMPARE(ToStringList(rig->bridge.Log()), Cycle("11 02 E0 " + payload) +
                                                      Cycle("11 02 E1 " + payload) +
                                                      Cycle("11 02 E4 " + payload));
        QCOMPARE(rig->unit.ModeCode(), static_cast<std::uint8_t>(code));
        QVERIFY(rig->warning.texts.empty());
        QCOMPARE(rig->clock.Slept(), std::uint64_t{300});
    }

    void resetSendsOneCycle_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("request");
        QTest::newRow("A") << "RSTxEDID_A"
                           << "11 01 EA 23 20 0D";
        QTest::newRow("B") << "RSTxEDID_B"
                           << "11 01 EB 23 20 0D";
    }

    void resetSendsOneCycle() {
        QFETCH(QString, key);
        QFETCH(QString, request);
        QVERIFY(rig->commands.ResetEDID(key.toLatin1().constData()).Answered());
        QCOMPARE(ToStringList(rig->bridge.Log()), Cycle(request));
    }

    void unknownKeysSendNothing_data() {
        QTest::addColumn<QString>("key");
        QTest::newRow("radio button name") << "automixEDID";
        QTest::newRow("one letter's case") << "CustomEdid";
        QTest::newRow("reset key as mode") << "RSTxEDID_A";
        QTest::newRow("empty") << "";
    }

    void unknownKeysSendNothing() {
        QFETCH(QString, key);
        const QByteArray bytes = key.toLatin1();
        QVERIFY(!rig->commands.SetEDIDMode(bytes.constData()).Sent());
        QVERIFY(!rig->commands.ResetEDID(QByteArray("rstxedid_a").constData()).Sent());
        QVERIFY(rig->bridge.Log().empty());
        QVERIFY(rig->warning.texts.empty());
    }

    void unitAbsentIsReportedPerRequest() {
        rig->bridge.SetDevices({});
        const ControlReport mode = rig->commands.SetEDIDMode("CustomEDID");
        QVERIFY(mode.UnitMissing() && !mode.Unconfirmed() && !mode.Answered());
        QCOMPARE(ToStringList(rig->warning.texts), QStringList(3, "Hardware not found!"));
        rig->warning.texts.clear();
        QVERIFY(rig->commands.ResetEDID("RSTxEDID_B").UnitMissing());
        QCOMPARE(ToStringList(rig->warning.texts), QStringList{"Hardware not found!"});
        QVERIFY(rig->bridge.Requests().empty());
    }

    // Each request tells for itself; the others still go out.
    void unansweredRequestIsUnconfirmed() {
        rig->bridge.ReplyNever(2);
        const ControlReport report = rig->commands.SetEDIDMode("FixedEDID");
        QVERIFY(report.Unconfirmed() && !report.UnitMissing() && !report.Answered());
        QCOMPARE(report.requests.size(), std::size_t{3});
        QVERIFY(report.requests[0].Answered() && report.requests[2].Answered());
        QCOMPARE(report.requests[1].transaction, TransactionResult::TimedOut);
        QCOMPARE(rig->bridge.OpenHandles(), 0);
        QCOMPARE(*rig->transport.Handle(), kNoDevice);
    }

    void queryStatusReadsTheMode() {
        rig->unit.SetModeCode(3);
        std::uint8_t reply[3] = {};
        QVERIFY(rig->commands.QueryStatus(reply, 3, rig->window).Answered());
        QCOMPARE(reply[2], std::uint8_t{3});
        QCOMPARE(ToStringList(rig->bridge.Log()), Cycle("02"));
        QVERIFY(rig->window.texts.isEmpty());
    }

    void queryStatusWithoutUnit() {
        rig->bridge.SetDevices({});
        std::uint8_t reply[3] = {};
        QVERIFY(!rig->commands.QueryStatus(reply, 3, rig->window).unitFound);
        QCOMPARE(rig->window.texts, QStringList{"Hardware not found"});
        QVERIFY(rig->warning.texts.empty());
        QVERIFY(rig->bridge.Requests().empty());
    }

    void unansweredQueryFails() {
        rig->bridge.ReplyNever(1);
        std::uint8_t reply[3] = {};
        const CommandOutcome outcome = rig->commands.QueryStatus(reply, 3, rig->window);
        QVERIFY(outcome.unitFound);
        QCOMPARE(outcome.transaction, TransactionResult::TimedOut);
        QCOMPARE(rig->bridge.OpenHandles(), 0);
    }
};

QTEST_GUILESS_MAIN(ControlCommandsTest)
#include "ControlCommandsTest.moc"
