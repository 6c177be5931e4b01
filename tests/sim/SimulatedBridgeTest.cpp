#include "SimulatedBridge.h"
#include "FakeClock.h"
#include "FaultScript.h"

#include <QtTest>

namespace {

struct Rig {
    FakeClock clock;
    SimulatedUnit unit;
    SimulatedBridge bridge{clock, unit};
    DeviceHandle handle = kNoDevice;
};

// Writes a request and asks for 3 bytes, the longest reply of a session, of
// what waits at once, after 1000 ms or after 1600 ms.
QString Exchange(Rig& rig, const char* request) {
    const QByteArray bytes = QByteArray::fromHex(request);
    std::uint32_t length = 0;
    if (rig.bridge.Write(rig.handle, reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                         std::uint32_t(bytes.size()), &length) != kBridgeSuccess) {
        return "write failed";
    }
    std::uint32_t slept = 0;
    for (std::uint32_t waited : {0u, 1000u, 1600u}) {
        rig.clock.Sleep(waited - slept);
        slept = waited;
        std::uint32_t waiting = 0;
        std::uint32_t queueStatus = 0;
        rig.bridge.CheckRXQueue(rig.handle, &waiting, &queueStatus);
        if (waiting == 0) {
            continue;
        }
        std::uint8_t reply[16] = {};
        if (rig.bridge.Read(rig.handle, reply, 3, &length) != kBridgeSuccess) {
            return "read failed";
        }
        const QString hex =
            QByteArray(reinterpret_cast<const char*>(reply), int(length)).toHex(' ').toUpper();
        return waited == 0 ? hex : QString("%1 ms: %2").arg(waited).arg(hex);
    }
    return "no reply";
}

// A session as the utility holds one: open the first device, ask its status,
// set mode FIXED, ask again, close and count the devices left. Calls that
// succeed leave no word in the trace but what they tell, and one device left
// is no news.
QString Session(Rig& rig) {
    QStringList trace;
    const auto step = [&](const char* name, BridgeStatus status) {
        if (status != kBridgeSuccess) {
            trace << QString(name) + " failed";
        }
    };
    step("open", rig.bridge.Open(0, &rig.handle));
    step("flush", rig.bridge.FlushBuffers(rig.handle, 1, 1));
    for (const char* request : {"02", "11 02 E1 23 24 02 0D", "02"}) {
        trace << Exchange(rig, request);
    }
    step("close", rig.bridge.Close(rig.handle));
    std::uint32_t count = 0;
    step("count", rig.bridge.GetNumDevices(&count));
    if (count != 1) {
        trace << QString("%1 left").arg(count);
    }
    return trace.join(" | ");
}

// The directive's kind, its operation for a failing call, then its fields.
QString Describe(const FaultDirective& directive) {
    static const char* const kKinds[] = {"devices", "fail",      "fail-call", "noreply", "late",
                                         "short",   "errorbyte", "vanish",    "delay",   "mode"};
    QString text = kKinds[int(directive.kind)];
    for (const std::string& serial : directive.serials) {
        text += " [" + QString::fromStdString(serial) + "]";
    }
    if (directive.kind == FaultDirective::Kind::FailOperation) {
        text += QString(" op%1").arg(int(directive.operation));
    }
    return text + QString(" %1 %2").arg(directive.number).arg(directive.value);
}

} // namespace

class SimulatedBridgeTest : public QObject {
    Q_OBJECT

private slots:
    // Each fault is set up by its script, so that applying one is proven too.
    void faults_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("trace");
        const auto row = [](const char* name, const char* script, const char* trace) {
            QTest::newRow(name) << QString(script) << QString(trace);
        };
        row("none", "", "00 00 01 | 00 00 | 00 00 02");
        row("other device first, silent", "devices 1234,2022",
            "no reply | no reply | no reply | 2 left");
        row("call 2 of any kind", "fail-call 2", "flush failed | 00 00 01 | 00 00 | 00 00 02");
        row("failed write sends nothing, is no transaction", "fail write 2\nerrorbyte 2 7",
            "00 00 01 | write failed | 07 00 01");
        row("read fails, reply kept, read in pieces", "fail read 2",
            "00 00 01 | read failed | 00 00 00");
        row("no reply, unit acts", "noreply 2", "00 00 01 | no reply | 00 00 02");
        row("late", "late 2 1500", "00 00 01 | 1600 ms: 00 00 | 00 00 02");
        row("delay, late adds to it", "delay 500\nlate 2 1000",
            "1000 ms: 00 00 01 | 1600 ms: 00 00 | 1000 ms: 00 00 02");
        row("short", "short 3 2", "00 00 01 | 00 00 | 00 00");
        row("error byte, unit acts", "errorbyte 2 7", "00 00 01 | 07 00 | 00 00 02");
        row("vanish once the reply is read", "vanish 2",
            "00 00 01 | 00 00 | write failed | 0 left");
    }

    void faults() {
        QFETCH(QString, script);
        QFETCH(QString, trace);
        Rig rig;
        const FaultScript parsed = ParseFaultScript(script.toStdString());
        QVERIFY(parsed.skippedLines.empty());
        ApplyFaultScript(parsed, rig.bridge, rig.unit);
        QCOMPARE(Session(rig), trace);
        QCOMPARE(rig.bridge.OpenHandles(), 0);
        // The session held no lock, and the bridge noticed.
        QVERIFY(!rig.bridge.EveryCallLocked());
    }

    void parseScript_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("directives");
        QTest::addColumn<QList<int>>("skipped");

        QTest::newRow("operation names")
            << "fail count 1\nfail string 1\nfail open 2\nfail close 1\nfail read 1\nfail write 1\n"
               "fail flush 1\nfail queue 1\n"
            << "fail op0 1 0 | fail op1 1 0 | fail op2 2 0 | fail op3 1 0 | fail op4 1 0 | "
               "fail op5 1 0 | fail op6 1 0 | fail op7 1 0"
            << QList<int>{};
        QTest::newRow("case, spacing, comments, hex, serials")
            << "# a unit that misbehaves\r\n  LATE 3\t0x5DC  # ms\r\n\nmode 7\n"
               "devices 1234 , 2022 ,,20 22\n"
            << "late 3 1500 | mode 7 0 | devices [1234] [2022] [] [20 22] 0 0" << QList<int>{};
        QTest::newRow("bad lines skipped")
            << "fail open 0\nfail teleport 1\nlate 3\nerrorbyte 1 256\nmode 300\n"
               "noreply x\nnoreply 1 2\ndevices\nhello\nnoreply 4\n"
            << "noreply 4 0" << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9};
    }

    void parseScript() {
        QFETCH(QString, script);
        QFETCH(QString, directives);
        QFETCH(QList<int>, skipped);
        const FaultScript parsed = ParseFaultScript(script.toStdString());
        QStringList described;
        for (const FaultDirective& directive : parsed.directives) {
            described << Describe(directive);
        }
        QCOMPARE(described.join(" | "), directives);
        QCOMPARE(QList<int>(parsed.skippedLines.begin(), parsed.skippedLines.end()), skipped);
    }
};

QTEST_APPLESS_MAIN(SimulatedBridgeTest)
#include "SimulatedBridgeTest.moc"
