#include "FaultScript.h"
#include "FakeClock.h"
#include "SimulatedBridge.h"
#include "SimulatedUnit.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// One line per directive, so that a whole parse compares as one string list.
QString Describe(const FaultDirective& directive) {
    using Kind = FaultDirective::Kind;
    switch (directive.kind) {
    case Kind::Devices: {
        QStringList serials;
        for (const std::string& serial : directive.serials) {
            serials << "[" + QString::fromStdString(serial) + "]";
        }
        return "devices " + serials.join(',');
    }
    case Kind::FailOperation:
        return QString("fail op%1 %2").arg(int(directive.operation)).arg(directive.number);
    case Kind::FailCallNumber:
        return QString("fail-call %1").arg(directive.number);
    case Kind::NoReply:
        return QString("noreply %1").arg(directive.number);
    case Kind::Late:
        return QString("late %1 %2").arg(directive.number).arg(directive.value);
    case Kind::Short:
        return QString("short %1 %2").arg(directive.number).arg(directive.value);
    case Kind::ErrorByte:
        return QString("errorbyte %1 %2").arg(directive.number).arg(directive.value);
    case Kind::Vanish:
        return QString("vanish %1").arg(directive.number);
    case Kind::Delay:
        return QString("delay %1").arg(directive.number);
    case Kind::Mode:
        return QString("mode %1").arg(directive.number);
    }
    return {};
}

} // namespace

class FaultScriptTest : public QObject {
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void applyToBridgeAndUnit();
    void missingFile();
};

void FaultScriptTest::parse_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("directives");
    QTest::addColumn<QList<int>>("skipped");

    QTest::newRow("every directive") << "# a unit that misbehaves\n"
                                        "devices 1234,2022\n"
                                        "fail open 2\n"
                                        "fail-call 7\n"
                                        "noreply 3\n"
                                        "late 3 1500\n"
                                        "short 4 2\n"
                                        "errorbyte 5 1\n"
                                        "vanish 10\n"
                                        "delay 5\n"
                                        "mode 3\n"
                                     << QStringList{"devices [1234],[2022]",
                                                    "fail op2 2",
                                                    "fail-call 7",
                                                    "noreply 3",
                                                    "late 3 1500",
                                                    "short 4 2",
                                                    "errorbyte 5 1",
                                                    "vanish 10",
                                                    "delay 5",
                                                    "mode 3"}
                                     << QList<int>{};
    QTest::newRow("operation names")
        << "fail count 1\nfail string 1\nfail close 1\nfail read 1\n"
           "fail write 1\nfail flush 1\nfail queue 1\n"
        << QStringList{"fail op0 1", "fail op1 1", "fail op3 1", "fail op4 1",
                       "fail op5 1", "fail op6 1", "fail op7 1"}
        << QList<int>{};
    QTest::newRow("case, spacing, comments, hex")
        << "  FAIL Open\t2  # second open\r\n\nErrorByte 1 0xFF\r\nmode 0x07\n"
        << QStringList{"fail op2 2", "errorbyte 1 255", "mode 7"} << QList<int>{};
    QTest::newRow("serials trimmed, empty kept")
        << "devices 1234 , 2022 ,,20 22\n"
        << QStringList{"devices [1234],[2022],[],[20 22]"} << QList<int>{};
    QTest::newRow("bad lines skipped")
        << "fail open 0\nfail teleport 1\nlate 3\nerrorbyte 1 256\nmode 300\n"
           "noreply x\nnoreply 1 2\ndevices\nvanish -1\nshort 0 2\nhello\nnoreply 4\n"
        << QStringList{"noreply 4"} << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    QTest::newRow("empty") << QString() << QStringList{} << QList<int>{};
}

void FaultScriptTest::parse() {
    QFETCH(QString, script);
    QFETCH(QStringList, directives);
    QFETCH(QList<int>, skipped);

    const FaultScript parsed = ParseFaultScript(script.toStdString());
    QStringList described;
    for (const FaultDirective& directive : parsed.directives) {
        described << Describe(directive);
    }
    QCOMPARE(described, directives);
    QCOMPARE(QList<int>(parsed.skippedLines.begin(), parsed.skippedLines.end()), skipped);
}

void FaultScriptTest::applyToBridgeAndUnit() {
    FakeClock clock;
    SimulatedUnit unit;
    SimulatedBridge bridge(clock, unit);
    ApplyFaultScript(ParseFaultScript("devices 1234,2022\nfail open 1\nerrorbyte 1 7\nmode 2\n"),
                     bridge, unit);

    QCOMPARE(int(unit.ModeCode()), 2);
    std::uint32_t count = 0;
    bridge.GetNumDevices(&count);
    QCOMPARE(count, 2u);
    char serial[kDeviceStringSize] = {};
    bridge.GetProductString(1, serial, DeviceStringOption::SerialNumber);
    QCOMPARE(QByteArray(serial), QByteArray("2022"));

    DeviceHandle handle = kNoDevice;
    QVERIFY(bridge.Open(1, &handle) != kBridgeSuccess);
    QCOMPARE(bridge.Open(1, &handle), kBridgeSuccess);
    std::uint32_t value = 0;
    const std::uint8_t status = 0x02;
    bridge.Write(handle, &status, 1, &value);
    std::uint8_t reply[3] = {};
    bridge.Read(handle, reply, 3, &value);
    QCOMPARE(QByteArray(reinterpret_cast<char*>(reply), 3), QByteArray("\x07\x00\x02", 3));
}

void FaultScriptTest::missingFile() {
    QTemporaryDir dir;
    FaultScript script;
    script.skippedLines = {1};
    QVERIFY(!LoadFaultScript(dir.filePath("absent.faults").toStdString(), &script));
    QCOMPARE(int(script.skippedLines.size()), 1);
}

QTEST_APPLESS_MAIN(FaultScriptTest)
#include "FaultScriptTest.moc"
